#include "compactscaledraw.h"

#include <cmath>

QwtText CompactScaleDraw::label(double value) const
{
    return QwtText(format(value));
}

namespace {

// "4e+06" -> "4e6", "1.2e-05" -> "1.2e-5"
QString shortExponent(QString s)
{
    const int e = s.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        QString exponent = s.mid(e + 1);
        const bool negative = exponent.startsWith(QLatin1Char('-'));
        exponent.remove(QLatin1Char('+')).remove(QLatin1Char('-'));
        while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
            exponent.remove(0, 1);
        s = s.left(e + 1) + (negative ? QStringLiteral("-") : QString()) + exponent;
    }
    return s;
}

}  // namespace

QString CompactScaleDraw::format(double value)
{
    if (std::fabs(value) < 1e-12 * (1.0 + std::fabs(value)))
        return QStringLiteral("0");
    // Three significant digits, written plainly ("1500") unless the exponent form is shorter.
    const QString exp = shortExponent(QString::number(value, 'g', 3));
    const QString plain = shortExponent(QString::number(exp.toDouble(), 'g', 6));
    return plain.size() <= exp.size() ? plain : exp;
}
