#pragma once

#include <qwt_scale_draw.h>

// Tick labels in the shortest plain form: "800000" becomes "8e5", "-0.323777" becomes
// "-0.324". Ten major divisions of Hz values such as -3.2e+06 otherwise run into each other
// on a 700-pixel axis.
class CompactScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double value) const override;
    static QString format(double value);
};
