#include "textformats.h"
#include "wholefile.h"
#include "filetypes.h"

FormatReader textFormatReader(int typeCode)
{
    switch (typeCode) {
    case TypeCode::MatlabAsciiSingle:
    case TypeCode::MatlabAsciiMixed:
    case TypeCode::MathcadSingle:
    case TypeCode::MathcadMixed:
    case TypeCode::DadispSingle:
    case TypeCode::DadispMixed:
    case TypeCode::CossapSingle:
    case TypeCode::CossapMixed:
    case TypeCode::SpwAsciiSingle:
    case TypeCode::SpwAsciiMixed:
    case TypeCode::AdsAsciiSingle:
    case TypeCode::Simtrax:
    case TypeCode::AdsAsciiTime:
    case TypeCode::UInt16: return readTextIq;
    case TypeCode::DabSymbols: return readDabSymbols;
    case TypeCode::Hex16:
    case TypeCode::Hex10:
    case TypeCode::Hex17: return readHex;
    case TypeCode::AsciiNoLineFeed: return readAsciiNoLineFeed;
    default: return nullptr;
    }
}

FormatWriter textFormatWriter(int typeCode)
{
    switch (typeCode) {
    case TypeCode::MatlabAsciiSingle:
    case TypeCode::MatlabAsciiMixed:
    case TypeCode::MathcadSingle:
    case TypeCode::MathcadMixed:
    case TypeCode::DadispSingle:
    case TypeCode::DadispMixed:
    case TypeCode::CossapSingle:
    case TypeCode::CossapMixed:
    case TypeCode::SpwAsciiSingle:
    case TypeCode::SpwAsciiMixed:
    case TypeCode::AdsAsciiSingle:
    case TypeCode::Simtrax: return writeTextIq;
    case TypeCode::DabSymbols: return writeDabSymbols;
    case TypeCode::Hex16:
    case TypeCode::Hex10:
    case TypeCode::Hex17: return writeHex;
    default: return nullptr;
    }
}
