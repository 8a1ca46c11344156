#include "compactscaledraw.h"

#include <algorithm>
#include <cmath>

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

// Fewest decimals that write every multiple of step exactly, but no more than show the step
// to three significant digits: a step of 0.8 takes one, a step of 0.141421 three.
int decimalsFor(double step)
{
    const int most = std::clamp(2 - int(std::floor(std::log10(step))), 0, 6);
    int d = 0;
    double scaled = step;
    while (d < most && std::fabs(scaled - std::round(scaled)) > 1e-6 * std::max(1.0, scaled)) {
        scaled *= 10.0;
        ++d;
    }
    return d;
}

// The spacing of the major ticks, 0 when there are fewer than two.
double majorStep(const QwtScaleDiv &div)
{
    const QList<double> ticks = div.ticks(QwtScaleDiv::MajorTick);
    double step = 0.0;
    for (int k = 1; k < ticks.size(); ++k) {
        const double d = std::fabs(ticks[k] - ticks[k - 1]);
        if (d > 0.0 && (step == 0.0 || d < step))
            step = d;
    }
    return step;
}

}  // namespace

QwtText CompactScaleDraw::label(double value) const
{
    const double step = majorStep(scaleDiv());
    return QwtText(step > 0.0 ? format(value, step) : format(value));
}

QString CompactScaleDraw::format(double value, double step)
{
    if (!(step > 0.0) || !std::isfinite(step) || step < 1e-6 || std::fabs(value) >= 1e12)
        return format(value);
    if (std::fabs(value) < 1e-6 * step)
        value = 0.0;  // a tick that rounding of the step put next to zero, not "-0.0"
    return QString::number(value, 'f', decimalsFor(step));
}

QString CompactScaleDraw::format(double value)
{
    if (std::fabs(value) < 1e-12 * (1.0 + std::fabs(value)))
        return QStringLiteral("0");
    // Three significant digits, written plainly ("1500") unless the exponent form is shorter.
    const QString exp = shortExponent(QString::number(value, 'g', 3));
    const QString plain = shortExponent(QString::number(exp.toDouble(), 'g', 6));
    return plain.size() <= exp.size() ? plain : exp;
}
