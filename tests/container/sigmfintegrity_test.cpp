// SigMF recordings that are not what their metadata says: wrong hash, cut data, partial samples,
// trailing bytes, and the messages that name the cause. Fixtures are written by numpy, hashlib and
// tarfile as the published layout describes them.
#include "containertestutil.h"
#include "dispatch.h"
#include "filefailure.h"
#include "sigmfverify.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

constexpr int kSigmfLoad = 33;

// rec: 1000 cf32_le samples with their hash; rec.expect: the values (float64, all I, all Q).
const char *kWriteRecording = R"(
import sys, json, hashlib, numpy as np
d, extra = sys.argv[1], json.loads(sys.argv[2])
k = np.arange(1000)
x = (np.cos(k * 0.01) - 1j * np.sin(k * 0.03) * 0.5).astype('<c8')
data = x.tobytes()
open(d + '/rec.sigmf-data', 'wb').write(data + b'T' * extra.get('trailing', 0))
g = {'core:datatype': 'cf32_le', 'core:version': '1.0.0', 'core:sample_rate': 1e6}
if extra.get('hash', True):
    g['core:sha512'] = hashlib.sha512(open(d + '/rec.sigmf-data', 'rb').read()).hexdigest()
if 'trailing' in extra:
    g['core:trailing_bytes'] = extra['trailing']
json.dump({'global': g, 'captures': [{'core:sample_start': 0}], 'annotations': []},
          open(d + '/rec.sigmf-meta', 'w'), indent=2)
np.concatenate([x.real, x.imag]).astype('<f8').tofile(d + '/rec.expect')
)";

class SigmfIntegrity : public NumpyTest
{
protected:
    void TearDown() override { sigmfVerifyOptions() = SigmfVerifyOptions(); }

    void write(const char *extraJson = "{}")
    {
        ASSERT_EQ(python(QLatin1String(kWriteRecording),
                         {dir.path(), QString::fromLatin1(extraJson)}),
                  0);
    }

    IqStatus load(const QString &name, IqBuffer &r)
    {
        clearFileFailure();
        return loadFiles(r, kSigmfLoad, path(name));
    }

    void expectRecording(const IqBuffer &r)
    {
        ASSERT_EQ(r.sampleCount, 1000);
        expectValues(r, QStringLiteral("rec.expect"));
    }

    // Replaces the data file's bytes from at on (a cut when shorter than what was there).
    void rewriteData(int at, const QByteArray &tail)
    {
        QByteArray data = readAll(path("rec.sigmf-data"));
        data = data.left(at) + tail;
        ASSERT_TRUE(writeAll(path("rec.sigmf-data"), data));
    }
};

}  // namespace

TEST_F(SigmfIntegrity, IntactRecordingLoadsWithItsHashChecked)
{
    write();
    IqBuffer r;
    std::vector<int64_t> seen;
    sigmfVerifyOptions().progress = [&](int64_t done, int64_t total) {
        EXPECT_EQ(total, 8000);
        seen.push_back(done);
        return true;
    };
    ASSERT_EQ(load(QLatin1String("rec.sigmf-meta"), r), IqStatus::Ok);
    expectRecording(r);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 8000);
    // Stopped from the progress, the load fails and says so.
    sigmfVerifyOptions().progress = [](int64_t, int64_t) { return false; };
    EXPECT_EQ(load(QLatin1String("rec.sigmf-meta"), r), IqStatus::FirstFile);
    EXPECT_TRUE(r.iData.isNull());
    EXPECT_EQ(lastFileFailure().reason, QStringLiteral("the SHA-512 check was cancelled"));
}

TEST_F(SigmfIntegrity, WrongHashAndCutDataFailNamingTheDataFileAndBothHashes)
{
    write();
    const QByteArray meta = readAll(path("rec.sigmf-meta"));
    const int at = meta.indexOf("core:sha512");
    const QByteArray said = meta.mid(meta.indexOf('"', at + 13) + 1, 16);
    const QByteArray original = readAll(path("rec.sigmf-data"));
    struct Case
    {
        const char *what;
        QByteArray data;
    };
    QByteArray flipped = original;
    flipped[4000] = char(flipped[4000] ^ 1);
    for (const Case &c :
         {Case{"one bit flipped", flipped}, Case{"cut to half", original.left(4000)}}) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeAll(path("rec.sigmf-data"), c.data));
        IqBuffer r;
        EXPECT_EQ(load(QLatin1String("rec.sigmf-meta"), r), IqStatus::FirstFile);
        EXPECT_TRUE(r.iData.isNull());
        const FileFailure f = lastFileFailure();
        EXPECT_EQ(f.path, path("rec.sigmf-data")) << f.path.toStdString();
        const QByteArray actual
                = QCryptographicHash::hash(c.data, QCryptographicHash::Sha512).toHex().left(16);
        EXPECT_TRUE(f.reason.contains(QLatin1String(said))) << f.reason.toStdString();
        EXPECT_TRUE(f.reason.contains(QLatin1String(actual))) << f.reason.toStdString();
    }
    // Told not to check, the flipped recording loads (the user takes the risk).
    ASSERT_TRUE(writeAll(path("rec.sigmf-data"), flipped));
    sigmfVerifyOptions().enabled = false;
    IqBuffer r;
    EXPECT_EQ(load(QLatin1String("rec.sigmf-meta"), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 1000);
}

TEST_F(SigmfIntegrity, PartialSampleIsAFailureNotADrop)
{
    write(R"({"hash": false})");
    rewriteData(8000, QByteArray(3, 'x'));
    IqBuffer r;
    EXPECT_EQ(load(QLatin1String("rec.sigmf-meta"), r), IqStatus::FirstFile);
    EXPECT_EQ(lastFileFailure().path, path("rec.sigmf-data"));
    EXPECT_EQ(lastFileFailure().reason,
              QStringLiteral("the data hold 8003 bytes of samples, not a whole number of 8-byte "
                             "cf32_le samples"));
}

TEST_F(SigmfIntegrity, TrailingBytesAreNotSamples)
{
    write(R"({"trailing": 12})");  // hashed with the trailing bytes, as the file is
    IqBuffer r;
    ASSERT_EQ(load(QLatin1String("rec.sigmf-meta"), r), IqStatus::Ok);
    expectRecording(r);
    // More trailing bytes than the file holds.
    QByteArray meta = readAll(path("rec.sigmf-meta"));
    meta.replace("\"core:trailing_bytes\": 12", "\"core:trailing_bytes\": 9000");
    ASSERT_TRUE(writeAll(path("rec.sigmf-meta"), meta));
    EXPECT_EQ(load(QLatin1String("rec.sigmf-meta"), r), IqStatus::FirstFile);
    EXPECT_TRUE(lastFileFailure().reason.contains(QLatin1String("core:trailing_bytes")));
}

// Each broken recording fails with the file at fault and a reason that names the cause.
TEST_F(SigmfIntegrity, MessagesNameTheCause)
{
    write();
    const char *script = R"(
import sys, io, tarfile
d = sys.argv[1]
meta, data = open(d + '/rec.sigmf-meta', 'rb').read(), open(d + '/rec.sigmf-data', 'rb').read()
flipped = bytearray(data)
flipped[17] ^= 0x40
for name, members in (('nodata.sigmf', [('r/r.sigmf-meta', meta)]),
                      ('nometa.sigmf', [('r/r.sigmf-data', data)]),
                      ('good.sigmf', [('r/r.sigmf-meta', meta), ('r/r.sigmf-data', data)]),
                      ('bad.sigmf', [('rec/rec.sigmf-meta', meta), ('rec/rec.sigmf-data', bytes(flipped))])):
    with tarfile.open(d + '/' + name, 'w', format=tarfile.PAX_FORMAT) as t:
        for m, payload in members:
            info = tarfile.TarInfo(m)
            info.size = len(payload)
            t.addfile(info, io.BytesIO(payload))
)";
    ASSERT_EQ(python(QLatin1String(script), {dir.path()}), 0);
    IqBuffer r;
    ASSERT_EQ(load(QLatin1String("good.sigmf"), r), IqStatus::Ok);
    expectRecording(r);

    const QString metaFile = path("x.sigmf-meta");
    const QString dataFile = path("x.sigmf-data");
    struct Case
    {
        const char *what;
        QByteArray meta;  // empty: no x.sigmf-meta
        bool data;
        const char *open;
        IqStatus status;
        QString path;
        QString reason;
    };
    const QByteArray good = R"({"global": {"core:datatype": "cf32_le"}, "captures": []})";
    const Case cases[] = {
            {"bad JSON", "{\n  \"global\": {\n    \"core:datatype\": cf32_le\n  }\n}", true,
             "x.sigmf-meta", IqStatus::FirstFile, metaFile,
             QStringLiteral("bad JSON at line 3, column 22: illegal number")},
            {"no datatype", R"({"global": {"core:version": "1.0.0"}, "captures": []})", true,
             "x.sigmf-meta", IqStatus::FirstFile, metaFile,
             QStringLiteral("missing key core:datatype in global")},
            {"no global", R"({"captures": []})", true, "x.sigmf-meta", IqStatus::FirstFile,
             metaFile, QStringLiteral("missing key global (an object)")},
            {"unknown datatype", R"({"global": {"core:datatype": "cf16_le"}})", true,
             "x.sigmf-meta", IqStatus::FirstFile, metaFile,
             QStringLiteral("unsupported datatype \"cf16_le\"")},
            {"real datatype", R"({"global": {"core:datatype": "ri16_le"}})", true, "x.sigmf-data",
             IqStatus::Unsupported, metaFile,
             QStringLiteral("unsupported datatype \"ri16_le\": real samples, the record holds "
                            "complex ones")},
            {"no data file", good, false, "x.sigmf-meta", IqStatus::FirstFile, dataFile,
             QStringLiteral("No such file or directory")},
            {"no meta file", QByteArray(), true, "x.sigmf-data", IqStatus::FirstFile, metaFile,
             QStringLiteral("No such file or directory")},
            {"archive without data", QByteArray(), false, "nodata.sigmf", IqStatus::FirstFile,
             path("nodata.sigmf"), QStringLiteral("the archive holds no .sigmf-data member")},
            {"archive without metadata", QByteArray(), false, "nometa.sigmf", IqStatus::FirstFile,
             path("nometa.sigmf"), QStringLiteral("the archive holds no .sigmf-meta member")},
            {"no archive", QByteArray(), false, "none.sigmf", IqStatus::FirstFile,
             path("none.sigmf"), QStringLiteral("No such file or directory")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(metaFile);
        QFile::remove(dataFile);
        if (!c.meta.isEmpty()) {
            ASSERT_TRUE(writeAll(metaFile, c.meta));
        }
        if (c.data) {
            ASSERT_TRUE(writeAll(dataFile, QByteArray(64, '\0')));
        }
        EXPECT_EQ(load(QLatin1String(c.open), r), c.status);
        EXPECT_TRUE(r.iData.isNull());
        EXPECT_EQ(lastFileFailure().path, c.path) << lastFileFailure().path.toStdString();
        EXPECT_EQ(lastFileFailure().reason, c.reason) << lastFileFailure().reason.toStdString();
    }
    // A wrong hash inside an archive names the archive and the member.
    EXPECT_EQ(load(QLatin1String("bad.sigmf"), r), IqStatus::FirstFile);
    EXPECT_EQ(lastFileFailure().path, path("bad.sigmf"));
    EXPECT_TRUE(lastFileFailure().reason.startsWith(
            QLatin1String("data member rec/rec.sigmf-data: SHA-512 mismatch")))
            << lastFileFailure().reason.toStdString();
}

// A dataset of another layout keeps its own name (core:dataset), with bytes around the samples.
TEST_F(SigmfIntegrity, NonConformingDatasetByName)
{
    write(R"({"hash": false})");
    const char *script = R"(
import sys, json, hashlib
d = sys.argv[1]
samples = open(d + '/rec.sigmf-data', 'rb').read()
data = b'HEAD' * 4 + samples + b'TAIL' * 3
open(d + '/capture.bin', 'wb').write(data)
meta = json.load(open(d + '/rec.sigmf-meta'))
meta['global'].update({'core:dataset': 'capture.bin', 'core:trailing_bytes': 12,
                       'core:sha512': hashlib.sha512(data).hexdigest()})
meta['captures'][0]['core:header_bytes'] = 16
json.dump(meta, open(d + '/ncd.sigmf-meta', 'w'))
)";
    ASSERT_EQ(python(QLatin1String(script), {dir.path()}), 0);
    IqBuffer r;
    ASSERT_EQ(load(QLatin1String("ncd.sigmf-meta"), r), IqStatus::Ok)
            << lastFileFailure().text().toStdString();
    expectRecording(r);
    QFile::remove(path("capture.bin"));
    EXPECT_EQ(load(QLatin1String("ncd.sigmf-meta"), r), IqStatus::FirstFile);
    EXPECT_EQ(lastFileFailure().path, path("capture.bin"));
}
