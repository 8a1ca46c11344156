#pragma once

#include <QString>

// A measured value written with as many digits as its resolution supports: the last digit
// shown stands for a step no larger than the resolution and no smaller than a tenth of it.
// Frequencies take the unit that keeps the number short (Hz, kHz, MHz or GHz, whichever is
// at most a hundred resolutions): 2402512345.6 Hz at a bin width of 19531.25 Hz reads
// "2402.51 MHz". Times stay in seconds.
QString frequencyToResolution(double hz, double resolutionHz);
QString timeToResolution(double seconds, double resolutionSeconds);
