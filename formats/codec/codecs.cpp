#include "codecs.h"

FormatReader readerFor(int typeCode)
{
    if (FormatReader r = textFormatReader(typeCode))
        return r;
    if (FormatReader r = binaryFormatReader(typeCode))
        return r;
    return containerFormatReader(typeCode);
}

FormatWriter writerFor(int typeCode)
{
    if (FormatWriter w = textFormatWriter(typeCode))
        return w;
    if (FormatWriter w = binaryFormatWriter(typeCode))
        return w;
    return containerFormatWriter(typeCode);
}
