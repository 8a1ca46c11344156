#pragma once

#include <QString>
#include <cstdint>

// VISA session handle as the VISA C interface defines it (32-bit).
using VisaHandle = uint32_t;

// Every acquisition and dialog setting plus the VISA handles. Copied whole whenever a
// consumer needs a consistent snapshot; copying opens or closes nothing.
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
    double anaIqRange = 1.0;
    double anaIqOffset = 0.0;
    double relativeBandwidth = 0.8;
    double oscBandwidth = 0.0;  // not persisted
    int32_t deviceType = 6;
    int32_t preTriggerSamples = 0;
    int32_t iqInput = 0;
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
    QString idnReply;   // not persisted
    QString spareText;  // not persisted
    bool rawIq = true;
    bool resetOnInit = false;  // not persisted
    bool balanced = false;
    bool highImpedance = false;
    bool dithering = false;
    bool lowPass = false;
    VisaHandle resourceManager = 0;    // not persisted
    VisaHandle instrumentSession = 0;  // not persisted
};
