#include "awgwaveform.h"
#include "codecs.h"
#include "filetypes.h"
#include "rawrecording.h"
#include "sigmf.h"
#include "tdswaveform.h"
#include "wavformat.h"
#include "wvformat.h"

// WAV, the waveform containers and the scope / generator waveform files.
FormatReader containerFormatReader(int typeCode)
{
    switch (typeCode) {
    case TypeCode::WavSingle: return readWavPair;
    case TypeCode::WavMixed: return readWavStereo;
    case TypeCode::RawRecording: return readRawRecording;
    case TypeCode::Wv: return readWv;
    case TypeCode::Sigmf: return readSigmf;
    case TypeCode::Awg2000: return readAwgWaveform;
    case TypeCode::Tds: return readScopeWaveform;
    default: return nullptr;
    }
}

FormatWriter containerFormatWriter(int typeCode)
{
    switch (typeCode) {
    case TypeCode::WavSingle: return writeWavPair;
    case TypeCode::WavMixed: return writeWavStereo;
    case TypeCode::RawRecording: return writeRawRecording;
    case TypeCode::Wv: return writeWv;
    case TypeCode::Sigmf: return writeSigmf;
    default: return nullptr;
    }
}
