// The SHA-512 a SigMF save writes, computed beside the write, against Qt's own.
#include "sha512.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <cstring>

TEST(BackgroundSha512, MatchesAOnePassHashForAnySplit)
{
    QByteArray data(3 * 1000 + 17, '\0');
    for (int k = 0; k < data.size(); ++k)
        data[k] = char((k * 7919) >> 3);
    const QByteArray want = QCryptographicHash::hash(data, QCryptographicHash::Sha512).toHex();
    for (size_t piece : {size_t(1), size_t(64), size_t(1000), size_t(4096)}) {
        SCOPED_TRACE(piece);
        BackgroundSha512 hash(1000, 2);  // pieces larger than a block are cut at its size
        for (size_t at = 0; at < size_t(data.size());) {
            const size_t n = std::min({piece, hash.blockBytes(), size_t(data.size()) - at});
            unsigned char *block = hash.acquire();
            std::memcpy(block, data.constData() + at, n);
            hash.submit(block, n);
            at += n;
        }
        EXPECT_EQ(hash.hex(), want);
        EXPECT_TRUE(hash.hex().isEmpty());  // the stream has ended
    }
    BackgroundSha512 empty(16);
    EXPECT_EQ(empty.hex(), QCryptographicHash::hash({}, QCryptographicHash::Sha512).toHex());
}
