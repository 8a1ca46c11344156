// Saving under a ".sigmf" name writes the archive, and a SigMF recording saved again as SigMF
// keeps what its metadata said. Python's tarfile, json, hashlib and numpy check our files.
#include "chunkedcopy.h"
#include "containertestutil.h"
#include "dispatch.h"
#include "filetypes.h"
#include "sigmf.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

constexpr int kSigmfLoad = 33;
constexpr int kSigmfSave = 26;

// Reads an archive as the standard lays it out: tar members "<n>/<n>.sigmf-meta" and
// "<n>/<n>.sigmf-data", the hash of the data member, the samples against floats we wrote.
const char *kCheckArchive = R"(
import sys, json, hashlib, tarfile, numpy as np
d, archive, stem, n = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
with tarfile.open(d + '/' + archive) as t:
    names = sorted(m.name for m in t.getmembers())
    assert names == [stem + '/' + stem + '.sigmf-data', stem + '/' + stem + '.sigmf-meta'], names
    assert all(m.isfile() for m in t.getmembers())
    meta = json.load(t.extractfile(stem + '/' + stem + '.sigmf-meta'))
    data = t.extractfile(stem + '/' + stem + '.sigmf-data').read()
g = meta['global']
assert g['core:datatype'] == 'cf32_le' and g['core:sha512'] == hashlib.sha512(data).hexdigest(), g
x = np.frombuffer(data, '<c8')
want = np.fromfile(d + '/want.f32', '<f4').reshape(2, -1)
assert x.shape == (n,) and (x.real == want[0]).all() and (x.imag == want[1]).all()
print('ok')
)";

class SigmfArchive : public NumpyTest
{
protected:
    // The archive "<stem>.sigmf" holds the 300000 samples of want.f32, checked by Python.
    bool archiveHolds(const QString &stem)
    {
        return pythonSaysOk(kCheckArchive, {dir.path(), stem + ".sigmf", stem, "300000"});
    }
    IqStatus save(IqBuffer &r, const QString &name) { return saveFiles(r, kSigmfSave, path(name)); }
    IqStatus load(const QString &name, IqBuffer &r) { return loadFiles(r, kSigmfLoad, path(name)); }
};

}  // namespace

TEST_F(SigmfArchive, SigmfNameWritesATarArchiveThatPythonReads)
{
    IqBuffer r = sineRecord(300000, 2e6);
    ASSERT_EQ(save(r, QStringLiteral("rec.sigmf")), IqStatus::Ok);
    ASSERT_TRUE(writeFloats(r, path("want.f32")));
    ASSERT_TRUE(archiveHolds(QStringLiteral("rec")));
    // The archive alone: no pair beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // rec.sigmf and want.f32
    IqBuffer back;
    ASSERT_EQ(load(QStringLiteral("rec.sigmf"), back), IqStatus::Ok);
    ASSERT_EQ(back.sampleCount, 300000);
    EXPECT_EQ(back.sampleRate, 2e6);
    for (int64_t k = 0; k < 300000; k += 997)
        ASSERT_EQ(back.iData[k], r.iData[k]) << k;

    // A name too long for the tar header's field goes into a pax header.
    const QString stem = QStringLiteral("a-recording-name-that-will-not-fit-") + QString(80, 'x');
    ASSERT_EQ(save(r, stem + QStringLiteral(".sigmf")), IqStatus::Ok);
    ASSERT_TRUE(archiveHolds(stem));
    ASSERT_EQ(load(stem + QStringLiteral(".sigmf"), back), IqStatus::Ok);
    EXPECT_EQ(back.sampleCount, 300000);

    // The chunked copy writes the same archive.
    IqBuffer source;
    source.typeIndex = kSigmfLoad;
    source.iFileName = path("rec.sigmf");
    ASSERT_EQ(convertInChunks(source, path("copy.sigmf"), TypeCode::Sigmf, 70000), IqStatus::Ok);
    ASSERT_TRUE(archiveHolds(QStringLiteral("copy")));
}

TEST_F(SigmfArchive, SigmfToSigmfKeepsWhatTheMetadataSaid)
{
    const char *write = R"(
import sys, json, numpy as np
d = sys.argv[1]
np.arange(200, dtype='<i2').tofile(d + '/src.sigmf-data')
meta = {'global': {'core:datatype': 'ci16_le', 'core:version': '1.0.0', 'core:sample_rate': 5e5,
                   'core:description': 'beacon at dawn', 'core:author': 'A. Engineer <a@example.org>',
                   'core:hw': 'Vantorp,ESMD,101234,3.20'},
        'captures': [{'core:sample_start': 0, 'core:frequency': 433.92e6,
                      'core:datetime': '2025-06-07T08:09:10.123456Z'},
                     {'core:sample_start': 50, 'core:frequency': 434e6,
                      'core:datetime': '2025-06-07T08:09:11Z'}],
        'annotations': [{'core:sample_start': 10, 'core:sample_count': 20, 'core:comment': 'burst',
                         'core:freq_lower_edge': 433.9e6, 'core:freq_upper_edge': 433.94e6}]}
json.dump(meta, open(d + '/src.sigmf-meta', 'w'))
)";
    ASSERT_EQ(python(QLatin1String(write), {dir.path()}), 0);
    IqBuffer r;
    ASSERT_EQ(load(QStringLiteral("src.sigmf-meta"), r), IqStatus::Ok);
    EXPECT_TRUE(r.centerFrequencyKnown);
    EXPECT_EQ(r.centerFrequency, 433.92e6);
    EXPECT_EQ(r.captureTime, QDateTime(QDate(2025, 6, 7), QTime(8, 9, 10, 123), Qt::UTC));
    EXPECT_EQ(r.instrument, QStringLiteral("Vantorp,ESMD,101234,3.20"));
    EXPECT_EQ(r.extra.value(QStringLiteral("core:description")).toString(),
              QStringLiteral("beacon at dawn"));
    ASSERT_EQ(save(r, QStringLiteral("out.sigmf-meta")), IqStatus::Ok);
    ASSERT_EQ(save(r, QStringLiteral("out.sigmf")), IqStatus::Ok);
    // A time that changed since the load is written from the record, to the millisecond.
    IqBuffer moved = r;
    moved.captureTime = moved.captureTime.addSecs(1);
    ASSERT_EQ(save(moved, QStringLiteral("moved.sigmf-meta")), IqStatus::Ok);
    EXPECT_TRUE(readAll(path("moved.sigmf-meta"))
                        .contains("\"core:datetime\": \"2025-06-07T08:09:11.123Z\""));
    const char *check = R"(
import sys, json, tarfile
d = sys.argv[1]
with tarfile.open(d + '/out.sigmf') as t:
    archived = json.load(t.extractfile('out/out.sigmf-meta'))
for meta in (json.load(open(d + '/out.sigmf-meta')), archived):
    g, caps = meta['global'], meta['captures']
    assert g['core:description'] == 'beacon at dawn', g
    assert g['core:author'] == 'A. Engineer <a@example.org>', g
    assert g['core:hw'] == 'Vantorp,ESMD,101234,3.20', g
    assert caps == [{'core:sample_start': 0, 'core:frequency': 433.92e6,
                     'core:datetime': '2025-06-07T08:09:10.123456Z'}], caps
    assert meta['annotations'] == [{'core:sample_start': 10, 'core:sample_count': 20,
                                    'core:comment': 'burst', 'core:freq_lower_edge': 433.9e6,
                                    'core:freq_upper_edge': 433.94e6}], meta['annotations']
print('ok')
)";
    EXPECT_TRUE(pythonSaysOk(check, {dir.path()}));

    // A load of a recording that says none of this leaves none of it on the record.
    ASSERT_EQ(writeFileOfType(sineRecord(5), TypeCode::Sigmf, path("bare.sigmf-meta"), QString()),
              IqStatus::Ok);
    ASSERT_EQ(load(QStringLiteral("bare.sigmf-meta"), r), IqStatus::Ok);
    EXPECT_FALSE(r.centerFrequencyKnown);
    EXPECT_FALSE(r.captureTime.isValid());
    EXPECT_TRUE(r.instrument.isEmpty());
    EXPECT_TRUE(r.extra.isEmpty());
}
