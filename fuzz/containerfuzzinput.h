#pragma once

// Splits one fuzz input into the pieces a two-part reader needs: the first 4 bytes
// (little-endian) give the length of the first part, bounded by what follows.
#include <QBuffer>
#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

struct FuzzParts
{
    QByteArray first;
    QByteArray second;
};

inline FuzzParts splitFuzzInput(const uint8_t *data, size_t size)
{
    FuzzParts parts;
    if (size < 4)
        return parts;
    const uint32_t want = uint32_t(data[0]) | (uint32_t(data[1]) << 8) | (uint32_t(data[2]) << 16)
                          | (uint32_t(data[3]) << 24);
    const size_t rest = size - 4;
    const size_t cut = want < rest ? want : rest;
    parts.first = QByteArray(reinterpret_cast<const char *>(data + 4), int(cut));
    parts.second = QByteArray(reinterpret_cast<const char *>(data + 4 + cut), int(rest - cut));
    return parts;
}

// The inverse, for writing seeds.
inline QByteArray joinFuzzInput(const QByteArray &first, const QByteArray &second)
{
    QByteArray b(4, '\0');
    const uint32_t n = uint32_t(first.size());
    for (int k = 0; k < 4; ++k)
        b[k] = char(n >> (8 * k));
    return b + first + second;
}

// Qt's warnings about bad seeks are expected for broken inputs and would only slow the run.
inline void quietQt()
{
    static const bool once = (qInstallMessageHandler([](QtMsgType, const QMessageLogContext &,
                                                        const QString &) {}),
                              true);
    (void)once;
}

inline void openBuffer(QBuffer &buffer, const QByteArray &bytes)
{
    quietQt();
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
}
