#pragma once

#include <qwt_scale_draw.h>

// Tick labels written plainly with the decimals the tick spacing needs, the same on every
// label of an axis: 998.5, 999.0, 999.5, 1000.0 and 0, 500, 1000, 1500 (never "1e3" beside
// "1500"). Only a spacing below a millionth or values beyond 10^12 fall back to the exponent form.
class CompactScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double value) const override;
    // A value on an axis whose major ticks are step apart.
    static QString format(double value, double step);
    // A lone value without a spacing: three significant digits in the shorter of the plain
    // and the exponent form ("8e5", "-0.324", "1500").
    static QString format(double value);
};
