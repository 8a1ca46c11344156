#include "awgwaveform.h"
#include "codecs.h"
#include "rawrecording.h"
#include "tdswaveform.h"
#include "wavformat.h"
#include "wvformat.h"

// WAV, the waveform containers and the scope / generator waveform files.
FormatReader containerFormatReader(int typeCode)
{
    switch (typeCode) {
    case 14: return readWavPair;
    case 15: return readWavStereo;
    case 24: return readRawRecording;
    case 25: return readWv;
    case 30: return readAwgWaveform;
    case 31: return readScopeWaveform;
    default: return nullptr;
    }
}

FormatWriter containerFormatWriter(int typeCode)
{
    switch (typeCode) {
    case 14: return writeWavPair;
    case 15: return writeWavStereo;
    case 24: return writeRawRecording;
    case 25: return writeWv;
    default: return nullptr;
    }
}
