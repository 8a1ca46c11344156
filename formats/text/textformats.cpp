#include "textformats.h"
#include "filetypes.h"
#include "wholefile.h"

namespace {

// Each text type code with its whole-file reader and writer (nullptr: load only).
struct TextFormat
{
    int typeCode;
    FormatReader read;
    FormatWriter write;
};

constexpr TextFormat kTextFormats[] = {
        {TypeCode::MatlabAsciiSingle, readTextIq, writeTextIq},
        {TypeCode::MatlabAsciiMixed, readTextIq, writeTextIq},
        {TypeCode::MathcadSingle, readTextIq, writeTextIq},
        {TypeCode::MathcadMixed, readTextIq, writeTextIq},
        {TypeCode::DadispSingle, readTextIq, writeTextIq},
        {TypeCode::DadispMixed, readTextIq, writeTextIq},
        {TypeCode::CossapSingle, readTextIq, writeTextIq},
        {TypeCode::CossapMixed, readTextIq, writeTextIq},
        {TypeCode::SpwAsciiSingle, readTextIq, writeTextIq},
        {TypeCode::SpwAsciiMixed, readTextIq, writeTextIq},
        {TypeCode::AdsAsciiSingle, readTextIq, writeTextIq},
        {TypeCode::Simtrax, readTextIq, writeTextIq},
        {TypeCode::AdsAsciiTime, readTextIq, nullptr},
        {TypeCode::UInt16, readTextIq, nullptr},
        {TypeCode::DabSymbols, readDabSymbols, writeDabSymbols},
        {TypeCode::Hex16, readHex, writeHex},
        {TypeCode::Hex10, readHex, writeHex},
        {TypeCode::Hex17, readHex, writeHex},
        {TypeCode::AsciiNoLineFeed, readAsciiNoLineFeed, nullptr},
};

const TextFormat *textFormat(int typeCode)
{
    for (const TextFormat &f : kTextFormats)
        if (f.typeCode == typeCode)
            return &f;
    return nullptr;
}

}  // namespace

FormatReader textFormatReader(int typeCode)
{
    const TextFormat *f = textFormat(typeCode);
    return f ? f->read : nullptr;
}

FormatWriter textFormatWriter(int typeCode)
{
    const TextFormat *f = textFormat(typeCode);
    return f ? f->write : nullptr;
}
