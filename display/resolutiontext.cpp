#include "resolutiontext.h"

#include <cmath>

namespace {

// Decimals whose last place is at most the resolution (in the unit the value is written in).
int decimalsFor(double resolution)
{
    if (!(resolution > 0.0) || !std::isfinite(resolution))
        return 6;
    return std::max(0, int(-std::floor(std::log10(resolution))));
}

struct Unit
{
    double scale;
    const char *name;
};

const Unit kUnits[] = {{1e9, "GHz"}, {1e6, "MHz"}, {1e3, "kHz"}, {1.0, "Hz"}};

}  // namespace

QString frequencyToResolution(double hz, double resolutionHz)
{
    const Unit *unit = &kUnits[3];
    for (const Unit &u : kUnits)
        if (u.scale <= 100.0 * resolutionHz) {
            unit = &u;
            break;
        }
    const double value = hz / unit->scale;
    const int decimals = decimalsFor(resolutionHz / unit->scale);
    return QString::number(value, 'f', decimals) + QLatin1Char(' ') + QLatin1String(unit->name);
}

QString timeToResolution(double seconds, double resolutionSeconds)
{
    return QString::number(seconds, 'f', decimalsFor(resolutionSeconds)) + QStringLiteral(" s");
}
