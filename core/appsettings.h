#pragma once

#include <QString>
#include <cstdint>

// High-impedance analog I/Q inputs take at most this many volts.
constexpr double highImpedanceRangeLimit = 1.78;

// Every acquisition and dialog setting the settings file keeps, plus the few values the
// Trace tab shows but does not persist. Copied whole whenever a consumer needs a consistent
// snapshot. The VISA handles live in VisaConnection, not here.
struct AppSettings
{
    double resolutionBandwidth = 10000000.0;
    double sampleRate = 100000000.0;
    double triggerOffset = 0.0;
    double recordLength = 0.001;
    double centerFrequency = 1000000.0;
    double referenceLevel = -20.0;
    double attenuation = 0.0;
    double digiIqRange = 2.0;
    double digiIqSampleRate = 10.0;
    double anaIqRange = 1.0;  // volts of the chosen range item
    double anaIqOffset = 0.0;
    double relativeBandwidth = 0.8;
    double oscBandwidth = 0.0;  // not persisted
    int32_t deviceType = 6;
    int32_t preTriggerSamples = 0;
    int32_t iqInput = 0;  // input code (InputCode), not a list position
    int32_t average = 1;
    int32_t channel = 0;
    int32_t iqInputType = 0;
    int32_t iqInputMode = 0;
    int32_t iqSidebandRf = 1;
    int32_t iqSidebandIf = 0;
    int32_t rbwIndex = 0;
    int32_t triggerModeIndex = 0;
    int32_t triggerSlopeIndex = 0;
    int32_t sampleRateIndex = 0;
    uint32_t sampleCount = 8192;
    uint32_t oscRecordLength = 1024;
    QString resourceString = QStringLiteral("TCPIP::192.168.1.100::INSTR");
    QString filterType = QStringLiteral("NORM");
    QString triggerMode = QStringLiteral("IMM");
    QString triggerSlope = QStringLiteral("POS");
    QString dataType = QStringLiteral("RAW");
    QString idnReply;  // not persisted
    bool rawIq = true;
    bool resetOnInit = false;  // not persisted
    bool balanced = false;
    bool highImpedance = false;
    bool dithering = false;
    bool lowPass = false;
};
