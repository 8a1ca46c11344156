#include "sigmfverify.h"

#include "filefailure.h"
#include "sha512.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace {
constexpr int64_t kBlockBytes = int64_t(4) << 20;
}

SigmfVerifyOptions &sigmfVerifyOptions()
{
    thread_local SigmfVerifyOptions options;
    return options;
}

IqStatus verifySigmfData(const QString &path, int64_t offset, int64_t bytes,
                         const QByteArray &expectedHex, const QString &reasonPrefix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !file.seek(offset))
        return failFile(IqStatus::FirstFile, path, file.errorString());
    const auto &progress = sigmfVerifyOptions().progress;
    Sha512 hash;
    std::vector<char> block(size_t(std::min(std::max(bytes, int64_t(1)), kBlockBytes)));
    for (int64_t done = 0; done < bytes;) {
        const int64_t n = std::min(bytes - done, int64_t(block.size()));
        if (file.read(block.data(), n) != n)
            return failFile(IqStatus::FirstFile, path,
                            QStringLiteral("the data cannot be read to check core:sha512: ")
                                    + file.errorString());
        hash.add(block.data(), size_t(n));
        done += n;
        if (progress && !progress(done, bytes))
            return failFile(IqStatus::FirstFile, path,
                            QStringLiteral("the SHA-512 check was cancelled"));
    }
    const QByteArray actual = hash.hex();
    if (actual == expectedHex)
        return IqStatus::Ok;
    return failFile(
            IqStatus::FirstFile, path,
            reasonPrefix
                    + QStringLiteral("SHA-512 mismatch: the metadata's core:sha512 begins %1, the "
                                     "data's hash begins %2")
                              .arg(QString::fromLatin1(expectedHex.left(16)),
                                   QString::fromLatin1(actual.left(16))));
}
