#include "codecs.h"
#include "textformats.h"

FormatReader textFormatReader(int typeCode)
{
    switch (typeCode) {
    case 0: case 1: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 13:
    case 16: case 26: case 29:
        return readTextIq;
    case 17: return readDabSymbols;
    case 20: case 21: case 22: return readHex;
    case 32: return readAsciiNoLineFeed;
    default: return nullptr;
    }
}

FormatWriter textFormatWriter(int typeCode)
{
    switch (typeCode) {
    case 0: case 1: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 13:
    case 16:
        return writeTextIq;
    case 17: return writeDabSymbols;
    case 20: case 21: case 22: return writeHex;
    default: return nullptr;
    }
}
