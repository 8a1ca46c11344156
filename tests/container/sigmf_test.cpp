// SigMF recordings against ones numpy writes by the published layout, and ours read back there.
#include "chunkedcopy.h"
#include "containertestutil.h"
#include "dispatch.h"
#include "filetypes.h"
#include "sigmf.h"
#include "wvformat.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

constexpr int kSigmfLoad = 33;
constexpr int kSigmfSave = 26;
constexpr int kWvLoad = 32;

// Writes one recording per complex datatype and byte order, each beside "<name>.expect": the
// values a reader must give (float64, all I then all Q). Metadata as the standard lays it out.
const char *kWriteAll = R"(
import sys, json, numpy as np
d = sys.argv[1]
n = 257
k = np.arange(n)
kinds = {'f32': 'f4', 'f64': 'f8', 'i32': 'i4', 'i16': 'i2', 'i8': 'i1', 'u32': 'u4', 'u16': 'u2', 'u8': 'u1'}
for name, code in kinds.items():
    for order in (['_le', '_be'] if code[1] != '1' else ['']):
        dt = np.dtype(('<' if order != '_be' else '>') + code)
        if name[0] == 'f':
            i, q = np.sin(k * 0.1) * 3.5, np.cos(k * 0.07) * -2.25
        else:
            info = np.iinfo(dt)
            span = int(info.max) - int(info.min)
            i = (int(info.min) + (k * 7919 * 104729) % (span + 1)).astype(np.float64)
            q = (int(info.max) - (k * 6007 * 15485863) % (span + 1)).astype(np.float64)
            i[0], q[0], i[1], q[1] = info.min, info.max, info.max, info.min
        inter = np.empty(2 * n, dt)
        inter[0::2], inter[1::2] = i, q
        base = d + '/c' + name + order
        inter.tofile(base + '.sigmf-data')
        meta = {'global': {'core:datatype': 'c' + name + order, 'core:version': '1.0.0',
                           'core:sample_rate': 2.5e6,
                           'core:extensions': [{'name': 'trovik', 'version': '1.0.0', 'optional': True}],
                           'trovik:ref_level': -12.5},
                'captures': [{'core:sample_start': 0, 'core:frequency': 433.92e6}],
                'annotations': []}
        json.dump(meta, open(base + '.sigmf-meta', 'w'), indent=2)
        half = 2.0 ** (8 * dt.itemsize - 1) if name[0] == 'u' else 0.0
        np.concatenate([i - half, q - half]).astype('<f8').tofile(base + '.expect')
)";

class SigmfTest : public NumpyTest
{
protected:
    IqStatus load(const QString &name, IqBuffer &r, int loadIndex = kSigmfLoad)
    {
        return loadFiles(r, loadIndex, path(name));
    }
};

}  // namespace

TEST_F(SigmfTest, EveryComplexDatatypeAndByteOrderWrittenByNumpy)
{
    ASSERT_EQ(python(QLatin1String(kWriteAll), {dir.path()}), 0);
    int seen = 0;
    for (const char *type :
         {"cf32_le", "cf32_be", "cf64_le", "cf64_be", "ci32_le", "ci32_be", "ci16_le", "ci16_be",
          "ci8", "cu32_le", "cu32_be", "cu16_le", "cu16_be", "cu8"}) {
        SCOPED_TRACE(type);
        IqBuffer r;
        const QString base = QLatin1String(type);
        // Any of the two names opens the recording.
        ASSERT_EQ(load(base + (seen++ % 2 ? ".sigmf-meta" : ".sigmf-data"), r), IqStatus::Ok);
        ASSERT_EQ(r.sampleCount, 257);
        EXPECT_EQ(r.sampleRate, 2.5e6);
        EXPECT_EQ(r.centerFrequency, 433.92e6);
        EXPECT_EQ(r.refLevel, -12.5f);
        expectValues(r, base + ".expect");
    }
    IqBuffer r;
    ASSERT_EQ(load(QLatin1String("cu8.sigmf-meta"), r), IqStatus::Ok);
    EXPECT_EQ(r.iData[0], -128.0f);  // code 0
    EXPECT_EQ(r.qData[0], 127.0f);   // code 255
}

TEST_F(SigmfTest, HeaderBytesTwoCapturesAndAnArchive)
{
    const char *script = R"(
import sys, json, io, tarfile, numpy as np
d = sys.argv[1]
a = np.arange(200, dtype='<i2').reshape(100, 2)
b = -np.arange(100, dtype='<i2').reshape(50, 2)
data = b'H' * 16 + a.tobytes() + b'h' * 8 + b.tobytes()
open(d + '/two.sigmf-data', 'wb').write(data)
meta = {'global': {'core:datatype': 'ci16_le', 'core:version': '1.0.0', 'core:sample_rate': 1e6},
        'captures': [{'core:sample_start': 0, 'core:header_bytes': 16, 'core:frequency': 1e9},
                     {'core:sample_start': 100, 'core:header_bytes': 8, 'core:frequency': 2e9}],
        'annotations': []}
text = json.dumps(meta).encode()
open(d + '/two.sigmf-meta', 'wb').write(text)
np.concatenate([a[:, 0], b[:, 0], a[:, 1], b[:, 1]]).astype('<f8').tofile(d + '/two.expect')
for archive, form, folder in (('rec.sigmf', tarfile.USTAR_FORMAT, 'rec'),
                              ('long.sigmf', tarfile.PAX_FORMAT, 'a-recording-name-longer-than-a-tar-name-field-' + 'x' * 60)):
    with tarfile.open(d + '/' + archive, 'w', format=form) as t:
        for name, payload in ((folder + '/rec.sigmf-meta', text), (folder + '/rec.sigmf-data', data)):
            info = tarfile.TarInfo(name)
            info.size = len(payload)
            info.mtime = 1700000000.25  # pax keeps the fraction in a header of its own
            t.addfile(info, io.BytesIO(payload))
)";
    ASSERT_EQ(python(QLatin1String(script), {dir.path()}), 0);
    for (const char *name : {"two.sigmf-meta", "rec.sigmf", "long.sigmf"}) {
        SCOPED_TRACE(name);
        IqBuffer r;
        ASSERT_EQ(load(QLatin1String(name), r), IqStatus::Ok);
        ASSERT_EQ(r.sampleCount, 150);
        EXPECT_EQ(r.centerFrequency, 1e9);  // the first capture's
        expectValues(r, QStringLiteral("two.expect"));
    }
}

TEST_F(SigmfTest, BadRecordsFailWithAStatus)
{
    const QByteArray data(64, '\0');  // 8 cf32 samples
    writeAll(path("x.sigmf-data"), data);
    const auto meta = [](const char *global, const char *captures = "[]") {
        return QByteArray("{\"global\": {") + global + "}, \"captures\": " + captures + "}";
    };
    struct Case
    {
        QByteArray json;
        IqStatus status;
        const char *what;
    };
    const Case cases[] = {
            {meta("\"core:datatype\": \"rf32_le\""), IqStatus::Unsupported, "real samples"},
            {meta("\"core:datatype\": \"cf32_le\", \"core:num_channels\": 2"),
             IqStatus::Unsupported, "two channels"},
            {"{\"global\": {\"core:datatype\": \"cf32_le\"", IqStatus::FirstFile, "cut JSON"},
            {"[1, 2]", IqStatus::FirstFile, "not an object"},
            {meta("\"core:datatype\": \"cf16_le\""), IqStatus::FirstFile, "no such type"},
            {meta("\"core:datatype\": \"ci16\""), IqStatus::FirstFile,
             "16 bits without a byte order"},
            {meta("\"core:datatype\": \"cf32_le\"", "[{\"core:sample_start\": 9}]"),
             IqStatus::FirstFile, "start past the data"},
            {meta("\"core:datatype\": \"cf32_le\"",
                  "[{\"core:sample_start\": 0}, {\"core:sample_start\": 9}]"),
             IqStatus::FirstFile, "first capture longer than the data"},
            {meta("\"core:datatype\": \"cf32_le\"", "[{\"core:header_bytes\": 65}]"),
             IqStatus::FirstFile, "header past the data"},
            {meta("\"core:datatype\": \"cf32_le\"", "[{\"core:sample_start\": 1e300}]"),
             IqStatus::FirstFile, "absurd start"},
            {meta("\"core:datatype\": \"cf32_le\"", "[{\"core:sample_start\": -1}]"),
             IqStatus::FirstFile, "negative start"},
            {meta("\"core:datatype\": \"cf32_le\"",
                  "[{\"core:sample_start\": 4}, {\"core:sample_start\": 2}]"),
             IqStatus::FirstFile, "captures out of order"},
            {meta("\"core:datatype\": \"cf32_le\"", "{}"), IqStatus::FirstFile,
             "captures not a list"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeAll(path("x.sigmf-meta"), c.json));
        IqBuffer r;
        EXPECT_EQ(load(QLatin1String("x.sigmf-meta"), r), c.status);
        EXPECT_TRUE(r.iData.isNull());
    }
    ASSERT_TRUE(writeAll(path("x.sigmf-meta"), meta("\"core:datatype\": \"cf32_le\"")));
    IqBuffer r;
    EXPECT_EQ(load(QLatin1String("x.sigmf-meta"), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 8);
    QFile::remove(path("x.sigmf-data"));
    EXPECT_EQ(load(QLatin1String("x.sigmf-meta"), r), IqStatus::FirstFile);
    writeAll(path("cut.sigmf"), QByteArray(700, 'x'));
    EXPECT_EQ(load(QLatin1String("cut.sigmf"), r), IqStatus::FirstFile);
}

TEST_F(SigmfTest, NumpyReadsOurRecordingAndChecksItsHash)
{
    // Several of the writer's hash blocks, so that hashing beside the write is put to the test.
    IqBuffer r = sineRecord(400000, 1.25e6);
    r.centerFrequency = 868.3e6;
    r.centerFrequencyKnown = true;
    r.captureTime = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 890), Qt::UTC);
    r.instrument = QStringLiteral("Vantorp,FSQ26,123456/007,4.75");
    r.refLevel = -7.25f;
    ASSERT_EQ(saveFiles(r, kSigmfSave, path("ours.sigmf-meta")), IqStatus::Ok);
    ASSERT_TRUE(writeFloats(r, path("ours.f32")));
    // A record that does not know its frequency and time says nothing of them.
    IqBuffer plain = sineRecord(10, 0.0);  // nor of an unknown rate
    ASSERT_EQ(writeFileOfType(plain, TypeCode::Sigmf, path("plain.sigmf-meta"), {}), IqStatus::Ok);
    const char *script = R"(
import sys, json, hashlib, re, numpy as np
d = sys.argv[1]
meta = json.load(open(d + '/ours.sigmf-meta'))
g, caps = meta['global'], meta['captures']
raw = open(d + '/ours.sigmf-data', 'rb').read()
assert g['core:version'].startswith('1.'), g
assert g['core:datatype'] == 'cf32_le' and g['core:sample_rate'] == 1.25e6, g
assert g['core:sha512'] == hashlib.sha512(raw).hexdigest()
assert g['trovik:ref_level'] == -7.25 and g['core:recorder'].startswith('Trovik')
assert g['core:hw'] == 'Vantorp,FSQ26,123456/007,4.75', g
assert any(e['name'] == 'trovik' for e in g['core:extensions'])
assert len(caps) == 1 and caps[0]['core:sample_start'] == 0 and caps[0]['core:frequency'] == 868.3e6
assert caps[0]['core:datetime'] == '2026-03-04T05:06:07.890Z', caps[0]
x = np.fromfile(d + '/ours.sigmf-data', '<c8')
want = np.fromfile(d + '/ours.f32', '<f4').reshape(2, -1)
assert x.shape == (400000,) and (x.real == want[0]).all() and (x.imag == want[1]).all()
plain = json.load(open(d + '/plain.sigmf-meta'))
assert plain['captures'] == [{'core:sample_start': 0}], plain['captures']
assert 'core:hw' not in plain['global'] and 'core:sample_rate' not in plain['global']
print('ok')
)";
    EXPECT_TRUE(pythonSaysOk(script, {dir.path()}));
}

// The chunked copy in pieces of 7 samples gives the bytes a load and a save of the whole file give.
TEST_F(SigmfTest, CopyToAndFromWvInSmallChunksMatchesAWholeConversion)
{
    ASSERT_EQ(python(QLatin1String(kWriteAll), {dir.path()}), 0);
    const auto withoutDatetime = [](const QByteArray &json) {
        return QString::fromUtf8(json).remove(
                QRegularExpression(QStringLiteral("\"core:datetime\": \"[^\"]*\",?\\s*")));
    };
    // SigMF (integers, big-endian) to WV.
    IqBuffer whole;
    ASSERT_EQ(load(QLatin1String("ci16_be.sigmf-meta"), whole), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(whole, TypeCode::Wv, path("whole.wv"), QString()), IqStatus::Ok);
    IqBuffer source;
    source.typeIndex = kSigmfLoad;
    source.iFileName = path("ci16_be.sigmf-meta");
    ASSERT_EQ(convertInChunks(source, path("chunked.wv"), TypeCode::Wv, 7), IqStatus::Ok);
    EXPECT_EQ(source.sampleCount, 257);
    EXPECT_EQ(stripDate(readAll(path("chunked.wv"))), stripDate(readAll(path("whole.wv"))));

    // WV to SigMF.
    IqBuffer wv;
    ASSERT_EQ(load(QLatin1String("whole.wv"), wv, kWvLoad), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(wv, TypeCode::Sigmf, path("whole.sigmf-meta"), QString()),
              IqStatus::Ok);
    IqBuffer back;
    back.typeIndex = kWvLoad;
    back.iFileName = path("whole.wv");
    ASSERT_EQ(convertInChunks(back, path("chunked.sigmf-meta"), TypeCode::Sigmf, 7), IqStatus::Ok);
    EXPECT_EQ(readAll(path("chunked.sigmf-data")), readAll(path("whole.sigmf-data")));
    EXPECT_EQ(withoutDatetime(readAll(path("chunked.sigmf-meta"))),
              withoutDatetime(readAll(path("whole.sigmf-meta"))));
    IqBuffer r;
    ASSERT_EQ(load(QLatin1String("chunked.sigmf-meta"), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 257);
}
