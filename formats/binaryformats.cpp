#include "codecs.h"

#include "adstimebinary.h"
#include "iqwformat.h"
#include "loomwavebinary.h"
#include "matformat.h"
#include "spwbinary.h"

FormatReader binaryFormatReader(int typeCode)
{
    switch (typeCode) {
    case 2:
    case 3: return readMatIq;
    case 12:
    case 28: return readSpwBinary;
    case 18: return readIqwPairs;
    case 19: return readIqwBlocks;
    case 23: return readLoomwaveBinary;
    case 27: return readAdsTimeBinary;
    default: return nullptr;
    }
}

FormatWriter binaryFormatWriter(int typeCode)
{
    switch (typeCode) {
    case 2:
    case 3: return writeMatIq;
    case 12: return writeSpwBinary;
    case 18: return writeIqwPairs;
    case 19: return writeIqwBlocks;
    case 23: return writeLoomwaveBinary;
    default: return nullptr;
    }
}
