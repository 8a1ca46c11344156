#include "codecs.h"
#include "filetypes.h"

#include "adstimebinary.h"
#include "iqwformat.h"
#include "loomwavebinary.h"
#include "matformat.h"
#include "spwbinary.h"

FormatReader binaryFormatReader(int typeCode)
{
    switch (typeCode) {
    case TypeCode::MatlabBinarySingle:
    case TypeCode::MatlabBinaryMixed: return readMatIq;
    case TypeCode::SpwBinaryMixed:
    case TypeCode::AdsBinarySingle: return readSpwBinary;
    case TypeCode::IqwPairs: return readIqwPairs;
    case TypeCode::IqwBlocks: return readIqwBlocks;
    case TypeCode::Loomwave: return readLoomwaveBinary;
    case TypeCode::AdsBinaryTime: return readAdsTimeBinary;
    default: return nullptr;
    }
}

FormatWriter binaryFormatWriter(int typeCode)
{
    switch (typeCode) {
    case TypeCode::MatlabBinarySingle:
    case TypeCode::MatlabBinaryMixed: return writeMatIq;
    case TypeCode::SpwBinaryMixed: return writeSpwBinary;
    case TypeCode::IqwPairs: return writeIqwPairs;
    case TypeCode::IqwBlocks: return writeIqwBlocks;
    case TypeCode::Loomwave: return writeLoomwaveBinary;
    default: return nullptr;
    }
}
