#pragma once

#include <QString>
#include <cstdint>

// High-impedance analog I/Q inputs take at most this many volts.
constexpr double highImpedanceRangeLimit = 1.78;

// Every acquisition and dialog setting the settings file keeps, plus the few values the
// Trace tab shows but does not persist. Copied whole whenever a consumer needs a consistent
// snapshot. The VISA handles live in VisaConnection, not here. The persisted fields start at
// the defaults of the settings-key table (settingskeys.h), the one place they are written.
struct AppSettings
{
    AppSettings();

    double resolutionBandwidth;
    double sampleRate;
    double triggerOffset;
    double recordLength;
    double centerFrequency;
    double referenceLevel;
    double attenuation;
    double digiIqRange;
    double digiIqSampleRate;
    double anaIqRange;  // volts of the chosen range item
    double anaIqOffset;
    double relativeBandwidth;
    double oscBandwidth = 0.0;  // not persisted
    int32_t deviceType;
    int32_t preTriggerSamples;
    int32_t iqInput;  // input code (InputCode), not a list position
    int32_t average;
    int32_t channel;
    int32_t iqInputType;
    int32_t iqInputMode;
    int32_t iqSidebandRf;
    int32_t iqSidebandIf;
    int32_t rbwIndex;
    int32_t triggerModeIndex;   // the trigger choice: positions in the device row's lists,
    int32_t triggerSlopeIndex;  // whose words the Trace sends
    int32_t sampleRateIndex;
    uint32_t sampleCount;
    uint32_t oscRecordLength;
    QString resourceString;
    QString filterType;
    QString dataType;
    QString idnReply;  // not persisted
    bool rawIq;
    bool resetOnInit = false;  // not persisted
    bool balanced;
    bool highImpedance;
    bool dithering;
    bool lowPass;
};
