#include "binarytestsupport.h"
#include "dispatch.h"

#include <QDir>
#include <QFile>

#include <matio.h>

namespace {

class MatFormat : public BinaryFiles
{
protected:
    IqStatus readOne(const QString &file, IqBuffer &r) { return readFiles(r, 3, file); }
    IqStatus readTwo(const QString &i, const QString &q, IqBuffer &r)
    {
        return readFiles(r, 2, i, q);
    }
    // Runs a scipy snippet with the temporary folder as sys.argv[1].
    bool scipy(const char *code) { return runPython(QString::fromLatin1(code), {dir.path()}); }
};

}  // namespace

// One file holds row vectors I and Q; a pair holds one of them each. Scipy reads them as single
// floats, and so do we; an odd count pads every variable.
TEST_F(MatFormat, FilesHoldRowVectorsIAndQThatScipyReads)
{
    ASSERT_EQ(writeFileOfType(makeRecord(1001), 3, path("a.mat"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(makeRecord(1001), 2, path("i.mat"), path("q.mat")), IqStatus::Ok);
    ASSERT_TRUE(scipy(R"(
import scipy.io as sio, os
k = np.arange(1001)
for fname, names in (('a.mat', ['I', 'Q']), ('i.mat', ['I']), ('q.mat', ['Q'])):
    m = sio.loadmat(os.path.join(sys.argv[1], fname))
    assert [x for x in m if not x.startswith('__')] == names, (fname, list(m))
    for name in names:
        v = m[name]
        assert v.shape == (1, 1001) and v.dtype == np.float32, (fname, v.shape, v.dtype)
        assert np.array_equal(v[0], (test_i if name == 'I' else test_q)(k))
)"));
    IqBuffer r;
    ASSERT_EQ(readOne(path("a.mat"), r), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 1001));
    ASSERT_EQ(readTwo(path("i.mat"), path("q.mat"), r), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 1001));
}

// The MAT library itself, as a peer: the variables it writes for the same samples.
QByteArray libraryWrites(const QString &path,
                         const std::vector<std::pair<const char *, float *>> &vars, int64_t n)
{
    mat_t *mat = Mat_CreateVer(QFile::encodeName(path).constData(),
                               "MATLAB 5.0 MAT-file, Created by: Trovik", MAT_FT_MAT5);
    if (!mat)
        return {};
    float empty = 0.0f;
    size_t dims[2] = {1, size_t(n)};
    for (const auto &[name, data] : vars) {
        matvar_t *v = Mat_VarCreate(name, MAT_C_SINGLE, MAT_T_SINGLE, 2, dims,
                                    n > 0 ? data : &empty, MAT_F_DONT_COPY_DATA);
        Mat_VarWrite(mat, v, MAT_COMPRESSION_NONE);
        Mat_VarFree(v);
    }
    Mat_Close(mat);
    return readAll(path);
}

// Saves stream their variables (so a Copy can end in a MAT file); what they write must be, byte
// for byte, what the library writes for the same record, padding to 8 bytes included.
TEST_F(MatFormat, StreamedSavesAreTheBytesTheMatLibraryWrites)
{
    for (int64_t n : {0, 1, 2, 3, 5, 1000, 70001}) {
        SCOPED_TRACE(n);
        IqBuffer r = makeRecord(n);
        ASSERT_EQ(writeFileOfType(r, 3, path("a.mat"), QString()), IqStatus::Ok);
        EXPECT_EQ(
                readAll(path("a.mat")),
                libraryWrites(path("peer.mat"), {{"I", r.iData.data()}, {"Q", r.qData.data()}}, n));
        ASSERT_EQ(writeFileOfType(r, 2, path("i.mat"), path("q.mat")), IqStatus::Ok);
        EXPECT_EQ(readAll(path("i.mat")),
                  libraryWrites(path("peer_i.mat"), {{"I", r.iData.data()}}, n));
        EXPECT_EQ(readAll(path("q.mat")),
                  libraryWrites(path("peer_q.mat"), {{"Q", r.qData.data()}}, n));
    }
}

TEST_F(MatFormat, ScipyFilesOfEveryRealClassAndDifferentLengthsLoadTheShorter)
{
    ASSERT_TRUE(scipy(R"(
import scipy.io as sio, os
k = np.arange(1000); j = np.arange(700)
out = lambda n: os.path.join(sys.argv[1], n)
sio.savemat(out('f64.mat'), {'I': test_i(k).astype(np.float64), 'Q': test_q(j).astype(np.float64)})
sio.savemat(out('f32.mat'), {'I': test_i(j), 'Q': test_q(k)})
sio.savemat(out('col.mat'), {'a': test_i(k).astype(np.float64).reshape(-1, 1), 'b': test_q(k).reshape(-1, 1)})
sio.savemat(out('zip.mat'), {'I': test_i(k).astype(np.float64), 'Q': test_q(k)}, do_compression=True)
sio.savemat(out('int.mat'), {'I': (k % 200 - 100).astype(np.int16), 'Q': (k % 50).astype(np.uint8)})
sio.savemat(out('i64.mat'), {'I': test_i(k).astype(np.float64)})
sio.savemat(out('q64.mat'), {'Q': test_q(j).astype(np.float64)})
)"));
    IqBuffer r;
    struct Case
    {
        const char *i, *q;  // q empty: one file
        int64_t count;
    };
    for (const Case c :
         {Case{"f64.mat", "", 700}, Case{"f32.mat", "", 700}, Case{"col.mat", "", 1000},
          Case{"zip.mat", "", 1000}, Case{"i64.mat", "q64.mat", 700}}) {
        ASSERT_EQ(*c.q ? readTwo(path(c.i), path(c.q), r) : readOne(path(c.i), r), IqStatus::Ok)
                << c.i;
        EXPECT_TRUE(holdsTestSignal(r, c.count)) << c.i;
    }
    ASSERT_EQ(readOne(path("int.mat"), r), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 1000);
    EXPECT_EQ(r.iData[3], -97.0f);
    EXPECT_EQ(r.qData[73], 23.0f);
}

TEST_F(MatFormat, ComplexAndNonNumericVariablesAreRefusedForTheirFile)
{
    ASSERT_TRUE(scipy(R"(
import scipy.io as sio, os
out = lambda n: os.path.join(sys.argv[1], n)
re = np.arange(10.0); c = re + 1j
sio.savemat(out('c1.mat'), {'I': c, 'Q': re})
sio.savemat(out('c2.mat'), {'I': re, 'Q': c})
sio.savemat(out('text.mat'), {'I': 'hello', 'Q': re})
sio.savemat(out('cell.mat'), {'I': re, 'Q': np.array([re, 'x'], dtype=object)})
sio.savemat(out('struct.mat'), {'I': {'a': re}, 'Q': re})
sio.savemat(out('only.mat'), {'I': re})
sio.savemat(out('cq.mat'), {'Q': c})
)"));
    const struct
    {
        const char *file;
        IqStatus status;
    } cases[] = {{"c1.mat", IqStatus::FirstFile},     {"c2.mat", IqStatus::SecondFile},
                 {"text.mat", IqStatus::FirstFile},   {"cell.mat", IqStatus::SecondFile},
                 {"struct.mat", IqStatus::FirstFile}, {"only.mat", IqStatus::SecondFile}};
    for (const auto &c : cases) {
        IqBuffer r;
        EXPECT_EQ(readOne(path(c.file), r), c.status) << c.file;
        EXPECT_TRUE(r.iData.isNull() && r.qData.isNull()) << c.file;
        EXPECT_EQ(r.sampleCount, 0);
    }
    IqBuffer r;
    EXPECT_EQ(readTwo(path("only.mat"), path("cq.mat"), r), IqStatus::SecondFile);
    EXPECT_EQ(readTwo(path("only.mat"), path("missing.mat"), r), IqStatus::SecondFile);
    EXPECT_EQ(readTwo(path("missing.mat"), path("only.mat"), r), IqStatus::FirstFile);
    EXPECT_EQ(readOne(path("missing.mat"), r), IqStatus::FirstFile);
}

TEST_F(MatFormat, DamagedFilesNeverLoadSamplesTheyDoNotHold)
{
    ASSERT_EQ(writeFileOfType(makeRecord(1000), 3, path("a.mat"), QString()), IqStatus::Ok);
    const QByteArray good = readAll(path("a.mat"));
    ASSERT_GT(good.size(), 8000);
    ASSERT_TRUE(writeAll(path("garbage.mat"), QByteArray(300, 'x')));
    IqBuffer r;
    EXPECT_EQ(readOne(path("garbage.mat"), r), IqStatus::FirstFile);
    for (int cut : {0, 100, 127, 128, 150, 200, 2000, 4100, 4200, 6000, good.size() - 1}) {
        ASSERT_TRUE(writeAll(path("cut.mat"), good.left(cut)));
        IqBuffer c;
        EXPECT_NE(readOne(path("cut.mat"), c), IqStatus::Ok) << cut;
        EXPECT_TRUE(c.iData.isNull() && c.qData.isNull()) << cut;
    }
    // The Q variable cut short is a fault of the second variable.
    ASSERT_TRUE(writeAll(path("cut.mat"), good.left(good.size() - 100)));
    EXPECT_EQ(readOne(path("cut.mat"), r), IqStatus::SecondFile);
}

TEST_F(MatFormat, FailedSavesLeaveTheOldFilesAlone)
{
    EXPECT_EQ(writeFileOfType(makeRecord(10), 3, path("no/dir/a.mat"), QString()),
              IqStatus::FirstFile);
    ASSERT_TRUE(writeAll(path("i.mat"), "old I"));
    EXPECT_EQ(writeFileOfType(makeRecord(10), 2, path("i.mat"), path("no/dir/q.mat")),
              IqStatus::SecondFile);
    EXPECT_EQ(readAll(path("i.mat")), QByteArray("old I"));
    // A save over an existing file replaces it whole and leaves no temporary file behind.
    ASSERT_EQ(writeFileOfType(makeRecord(10), 2, path("i.mat"), path("q.mat")), IqStatus::Ok);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"i.mat", "q.mat"}));
    IqBuffer r;
    ASSERT_EQ(readTwo(path("i.mat"), path("q.mat"), r), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 10));
}

TEST_F(MatFormat, EmptyRecordWritesEmptyVariables)
{
    ASSERT_EQ(writeFileOfType(IqBuffer(), 3, path("e.mat"), QString()), IqStatus::Ok);
    IqBuffer r;
    ASSERT_EQ(readOne(path("e.mat"), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 0);
    ASSERT_TRUE(scipy(R"(
import scipy.io as sio, os
m = sio.loadmat(os.path.join(sys.argv[1], 'e.mat'))
assert m['I'].shape == (1, 0) and m['Q'].shape == (1, 0)
)"));
}

TEST_F(MatFormat, VariablesCutShortInsideAreRefusedBeforeReading)
{
    // Built from a scipy file: the Q element recompressed whole, cut before compression,
    // with its stream cut, with a byte count short of its stream; and uncompressed with a data
    // element that holds fewer bytes than the dimensions need. Level 4 is not accepted.
    ASSERT_TRUE(scipy(R"(
import scipy.io as sio, os, zlib, struct
out = lambda n: os.path.join(sys.argv[1], n)
k = np.arange(1000)
sio.savemat(out('u.mat'), {'I': test_i(k), 'Q': test_q(k)})
sio.savemat(out('v4.mat'), {'I': test_i(k), 'Q': test_q(k)}, format='4')
d = open(out('u.mat'), 'rb').read()
pos, els = 128, []
while pos < len(d):
    t, n = struct.unpack('<II', d[pos:pos + 8]); els.append(d[pos:pos + 8 + n]); pos += 8 + n
def comp(el, cut=0):
    c = zlib.compress(el[:len(el) - cut])
    return struct.pack('<II', 15, len(c)) + c
good = comp(els[1])
short = bytearray(good); struct.pack_into('<I', short, 4, len(good) - 58)
files = {'c_ok': comp(els[1]), 'c_cut': comp(els[1], 400), 'c_trunc': good[:-50], 'c_short': bytes(short)}
for name, q in files.items():
    open(out(name + '.mat'), 'wb').write(d[:128] + comp(els[0]) + q)
q = bytearray(els[1]); tag = q.index(struct.pack('<II', 7, 4000)); struct.pack_into('<I', q, tag + 4, 3996)
open(out('u_small.mat'), 'wb').write(d[:128] + els[0] + bytes(q))
)"));
    IqBuffer r;
    ASSERT_EQ(readOne(path("c_ok.mat"), r), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 1000));
    for (const char *name : {"c_cut.mat", "c_trunc.mat", "c_short.mat", "u_small.mat"}) {
        EXPECT_EQ(readOne(path(name), r), IqStatus::SecondFile) << name;
        EXPECT_TRUE(r.iData.isNull()) << name;
    }
    EXPECT_EQ(readOne(path("v4.mat"), r), IqStatus::FirstFile);
}
