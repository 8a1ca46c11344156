#include "clioptions.h"

#include "numbertext.h"

#include <cmath>

bool CliOptions::parse(const QStringList &arguments, const QStringList &valued, QString &error,
                       const QStringList &switches)
{
    m_values.clear();
    for (int k = 0; k < arguments.size(); ++k) {
        QString name = arguments.at(k);
        QString value;
        const int eq = name.indexOf(QLatin1Char('='));
        const bool inlineValue = name.startsWith(QLatin1String("--")) && eq > 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        const bool isSwitch = !inlineValue && switches.contains(name);
        if (!isSwitch && !valued.contains(name)) {
            error = name.startsWith(QLatin1Char('-'))
                            ? QStringLiteral("unknown option '%1'").arg(name)
                            : QStringLiteral("unexpected argument '%1'").arg(name);
            return false;
        }
        if (has(name)) {
            error = QStringLiteral("option %1 given twice").arg(name);
            return false;
        }
        if (!inlineValue && !isSwitch) {
            if (k + 1 >= arguments.size()) {
                error = QStringLiteral("option %1 needs a value").arg(name);
                return false;
            }
            value = arguments.at(++k);
        }
        m_values.insert(name, value);
    }
    return true;
}

bool CliOptions::require(const char *command, const QStringList &names, QString &error) const
{
    for (const QString &name : names) {
        if (!has(name)) {
            error = QStringLiteral("%1 needs %2").arg(QLatin1String(command), name);
            return false;
        }
    }
    return true;
}

bool CliOptions::number(const QString &name, double fallback, double &out, QString &error) const
{
    out = fallback;
    if (!has(name))
        return true;
    const QByteArray text = value(name).toLatin1();
    bool ok = false;
    out = numbertext::parseDouble(text.constData(), text.constData() + text.size(), &ok);
    if (!ok || !std::isfinite(out)) {
        error = QStringLiteral("%1 needs a number, not '%2'").arg(name, value(name));
        return false;
    }
    return true;
}

bool CliOptions::positive(const QString &name, double fallback, double &out, QString &error) const
{
    if (number(name, fallback, out, error) && out > 0.0)
        return true;
    error = QStringLiteral("%1 needs a positive number, not '%2'").arg(name, value(name));
    return false;
}

bool CliOptions::whole(const QString &name, int64_t min, int64_t max, int64_t fallback,
                       int64_t &out, QString &error) const
{
    out = fallback;
    if (!has(name))
        return true;
    double number = 0.0;
    // Bounds are compared as doubles; the last test keeps a bound near 2^63, which rounds up,
    // from letting through a value that does not fit.
    if (this->number(name, 0.0, number, error) && number == std::floor(number)
        && number >= double(min) && number <= double(max) && number < 9223372036854775808.0) {
        out = int64_t(number);
        return true;
    }
    error = QStringLiteral("%1 needs a whole number from %2 to %3, not '%4'")
                    .arg(name)
                    .arg(static_cast<qlonglong>(min))
                    .arg(static_cast<qlonglong>(max))
                    .arg(value(name));
    return false;
}
