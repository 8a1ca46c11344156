#pragma once

#include <QString>

// How the spectrum and phase views lay frequencies on their bottom axis: in the unit that
// suits the span (Hz, kHz, MHz or GHz), and absolute when the record knows its centre
// frequency, baseband otherwise. The computed points stay in baseband Hz; this only maps
// them onto the axis and names the axis after what it then shows.
struct FrequencyAxis
{
    double offsetHz = 0.0;  // added to a baseband frequency: the centre, or 0
    double unitHz = 1.0;    // one axis unit in Hz
    QString unit = QStringLiteral("Hz");

    // The axis for a view spanning spanHz around centreHz (centreHz 0: baseband).
    static FrequencyAxis forSpan(double spanHz, double centreHz = 0.0);

    double toAxis(double basebandHz) const { return (basebandHz + offsetHz) / unitHz; }
    QString title() const { return QStringLiteral("Frequency/") + unit; }
};
