#include "frequencyaxis.h"

#include <cmath>

namespace {

struct UnitRow
{
    double hz;
    const char *name;
};

// Largest first: the first unit the span reaches is the one used.
const UnitRow kUnits[] = {{1e9, "GHz"}, {1e6, "MHz"}, {1e3, "kHz"}, {1.0, "Hz"}};

}  // namespace

FrequencyAxis FrequencyAxis::forSpan(double spanHz, double centreHz)
{
    FrequencyAxis axis;
    axis.offsetHz = centreHz;
    const double span = std::fabs(spanHz);
    for (const UnitRow &row : kUnits) {
        if (span >= row.hz || row.hz == 1.0) {
            axis.unitHz = row.hz;
            axis.unit = QString::fromLatin1(row.name);
            break;
        }
    }
    return axis;
}
