// Every failed load, save and copy of trovik-cli says on one stderr line what failed (the
// headline), which file, why (the system's words or the format's own), and the status.
#include "clirun.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>
#include <unistd.h>

namespace {

QByteArray be32(uint32_t v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}

QByteArray le32(uint32_t v)
{
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return QByteArray(b, 4);
}

// The one stderr line of a failure: "trovik-cli: <headline> <path>: <reason> (status <n>: ...)".
void expectLine(const CliRun &r, const QString &headline, const QString &path,
                const QString &reason, int status)
{
    const QString err = QString::fromLocal8Bit(r.err);
    EXPECT_EQ(r.exitCode, 1) << err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1) << err.toStdString();
    const QString named = headline + QLatin1Char(' ') + path + ": ";
    const int at = err.indexOf(named);
    EXPECT_GE(at, 0) << "wanted: " << named.toStdString() << "\n   got: " << err.toStdString();
    const int why = err.indexOf(reason, at < 0 ? 0 : at + named.size());
    EXPECT_GE(why, 0) << "wanted: " << reason.toStdString() << "\n   got: " << err.toStdString();
    EXPECT_GT(err.indexOf(QStringLiteral("(status %1: ").arg(status), why), why)
            << err.toStdString();
}

class FileErrors : public ::testing::Test
{
public:
    QString path(const QString &name) const { return dir.filePath(name); }

    // A file of the save type key holding n samples, as trovik-cli writes it.
    QString written(const QString &key, const QString &name, int n) const
    {
        QByteArray text;
        for (int k = 0; k < n; ++k)
            text += QByteArray::number(k % 7) + ' ' + QByteArray::number(-(k % 5)) + '\n';
        writeAll(path("source.asc"), text);
        const CliRun r = cli({"convert", "--from", "1", "--in", path("source.asc"), "--to", key,
                              "--out", path(name)});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        return path(name);
    }

    // The file cut to its first bytes (a negative count: that many fewer than it holds).
    static QString cut(const QString &file, int64_t bytes)
    {
        QFile f(file);
        EXPECT_TRUE(f.resize(bytes < 0 ? f.size() + bytes : bytes));
        return file;
    }

    // The "trovik-cli info" arguments that read file.
    QStringList in(const QString &file) const { return {"--in", file}; }
    // A file of these bytes.
    QStringList one(const QString &name, const QByteArray &bytes) const
    {
        writeAll(path(name), bytes);
        return in(path(name));
    }
    // I and Q files of the same bytes.
    QStringList pair(const QString &base, const QByteArray &bytes) const
    {
        writeAll(path(base + "_i.wfm"), bytes);
        writeAll(path(base + "_q.wfm"), bytes);
        return {"--in", path(base + "_i.wfm"), "--in-q", path(base + "_q.wfm")};
    }

protected:
    QTemporaryDir dir;
};

// One bad input: make() makes the files it needs and returns the arguments of "trovik-cli
// info" that read them; the message names the first file unless named says otherwise.
struct BadInput
{
    const char *what;
    const char *type;
    std::function<QStringList(FileErrors &)> make;
    QString reason;
    int status;
    const char *named = nullptr;
    bool needsNonRoot = false;
};

const QString kMissing = "No such file or directory";
const QString kHalf = "header announces 1000 samples, the file holds 500";

}  // namespace

TEST_F(FileErrors, EveryReaderNamesTheFileAndTheReason)
{
    using F = FileErrors;
    const BadInput cases[] = {
            {"missing text file", "matlab-ascii-mixed",
             [](F &t) { return t.in(t.path("missing.asc")); }, kMissing, -1},
            {"file in a folder that does not exist", "iqw-pairs",
             [](F &t) { return t.in(t.path("no/such/folder/a.iqw")); }, kMissing, -1},
            {"a folder for a file", "matlab-ascii-mixed", [](F &t) { return t.in(t.path("")); },
             "Is a directory", -1},
            {"unreadable file", "matlab-ascii-mixed",
             [](F &t) {
                 const QStringList e = t.one("locked.asc", "1 2\n");
                 QFile::setPermissions(e[1], QFileDevice::WriteOwner);
                 return e;
             },
             "Permission denied", -1, nullptr, true},
            {"missing Q file", "mathcad-single",
             [](F &t) {
                 return t.one("x.i", "1\n") + QStringList{"--in-q", t.path("gone.q")};
             },
             kMissing, -2, "gone.q"},
            {"WAV without RIFF id", "wav-mixed",
             [](F &t) { return t.one("a.wav", QByteArray(64, 'x')); }, "not a WAV file: no RIFF id",
             -4},
            {"WAV cut inside its header", "wav-mixed",
             [](F &t) { return t.one("a.wav", QByteArray("RIFF\0\0\0\0", 8)); },
             "ends inside the 12-byte RIFF header", -1},
            {"WAV of float samples", "wav-mixed",
             [](F &t) {
                 QByteArray b = readAll(t.written("wav-mixed", "f.wav", 10));
                 b[20] = 3;
                 return t.one("f.wav", b);
             },
             "not PCM: format tag 3", -4},
            // (Half would pass: older writers counted every sample twice in the size field.)
            {"WAV cut short of its samples", "wav-mixed",
             [](F &t) { return t.in(F::cut(t.written("wav-mixed", "h.wav", 1000), 44 + 300 * 4)); },
             "header announces 1000 samples, the file holds 300", -1},
            {"WV cut to half its samples", "wv",
             [](F &t) {
                 const QString f = t.written("wv", "h.wv", 1000);
                 return t.in(F::cut(f, readAll(f).indexOf('#') + 1 + 500 * 4));
             },
             kHalf, -1},
            {"WV without samples marker", "wv",
             [](F &t) { return t.one("n.wv", "{TYPE:Genova-WV,0}{SAMPLES:4}"); }, "not a WV file",
             -1},
            {"scrambled WV", "wv",
             [](F &t) {
                 return t.one("s.wv", "{SAMPLES:1}{WWAVEFORM-5:#" + QByteArray(4, '\1') + "}");
             },
             "scrambled (WWAVEFORM tag)", -6},
            {"MAT cut inside its header", "matlab-binary-mixed",
             [](F &t) { return t.one("c.mat", QByteArray(10, 'M')); },
             "not a MAT file: 10 bytes, shorter than the 128-byte header", -1},
            {"MAT of another kind", "matlab-binary-mixed",
             [](F &t) { return t.one("w.mat", QByteArray(200, 'x')); }, "not a level 5 MAT file",
             -1},
            {"MAT cut to half", "matlab-binary-mixed",
             [](F &t) {
                 const QString f = t.written("matlab-binary-mixed", "h.mat", 1000);
                 return t.in(F::cut(f, QFile(f).size() / 2));
             },
             "variable 1 announces", -1},
            {"SPW binary cut to half its samples", "spw-binary-mixed",
             [](F &t) {
                 return t.in(F::cut(t.written("spw-binary-mixed", "h.sig", 1000), -500 * 16));
             },
             kHalf, -1},
            {"SPW binary without data marker", "spw-binary-mixed",
             [](F &t) { return t.one("m.sig", "$SIGNAL_FILE 9\n$COMMON_INFO\n"); },
             "the header ends without its \"$DATA BINARY\" line", -1},
            {"SPW ASCII cut to half its lines", "spw-ascii-mixed",
             [](F &t) {
                 const QByteArray b = readAll(t.written("spw-ascii-mixed", "h.ascsig", 1000));
                 int at = b.indexOf("$DATA\n") + 6;
                 for (int k = 0; k < 500; ++k)
                     at = b.indexOf('\n', at) + 1;
                 return t.one("h.ascsig", b.left(at));
             },
             kHalf, -1},
            {"Loomwave cut inside its header", "loomwave",
             [](F &t) { return t.one("c.ibn", QByteArray(10, '\0')); },
             "ends inside its 40-byte header", -1},
            {"Loomwave cut to half its samples", "loomwave",
             [](F &t) { return t.in(F::cut(t.written("loomwave", "h.ibn", 1000), 40 + 500 * 8)); },
             kHalf, -1},
            {"AWG file cut to half its samples", "awg2000",
             [](F &t) {
                 return t.pair("awg", be32(1000) + QByteArray(98, '\0') + QByteArray(1000, '\1'));
             },
             kHalf, -1},
            {"scope waveform with a wrong byte-order mark", "tds",
             [](F &t) { return t.pair("tds", QByteArray(900, 'x')); },
             "not a reference waveform file", -1},
            {"scope waveform cut to half its samples", "tds",
             [](F &t) {
                 QByteArray h(824, '\0');
                 h[0] = h[1] = 0x0F;
                 h.replace(2, 8, ":WFM#001");
                 h.replace(11, 4, le32(824 + 2000 - 7));
                 h[15] = 2;
                 h.replace(16, 4, le32(824));
                 return t.pair("tdsh", h + QByteArray(1000, '\1'));
             },
             kHalf, -1},
            {"ADS binary time file cut to half its samples", "ads-binary-time",
             [](F &t) {
                 return t.pair("ads", "title\nv a b 1000\nc\nd\n" + QByteArray(8000, '\0'));
             },
             kHalf, -1},
            {"DAB file with fewer lines than symbols", "dab-q6",
             [](F &t) { return t.one("d.sym", "Symbols:1000\n1\n2\n"); },
             "header announces 1000 samples, the file holds 3 lines", -1},
    };
    for (const BadInput &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsNonRoot && geteuid() == 0) {
            std::printf("  (skipped as root: %s)\n", c.what);
            continue;
        }
        const QStringList extra = c.make(*this);
        const QString named = c.named ? path(c.named) : extra.value(1);
        const QString headline = c.status == -6
                                         ? QStringLiteral("The file %1 is scrambled. Load aborted.")
                                                   .arg(extra.value(1))
                                         : "File Load Error.";
        expectLine(cli(QStringList{"info", "--from", c.type} + extra), headline, named, c.reason,
                   c.status);
    }
}

// Every writer, append and copy says which file could not be written, and the system's reason.
TEST_F(FileErrors, EveryWriterNamesTheFileAndTheSystemsReason)
{
    writeAll(path("a.asc"), "1 2\n3 4\n");
    const QString out = path("no/such/folder/out");
    for (const char *key : {"matlab-ascii-mixed", "mathcad-single", "matlab-binary-mixed",
                            "spw-binary-mixed", "wav-mixed", "iqw-pairs", "loomwave", "dab-q6",
                            "hex16", "wv", "recordia-raw", "dadisp-mixed"}) {
        SCOPED_TRACE(key);
        expectLine(
                cli({"convert", "--from", "1", "--in", path("a.asc"), "--to", key, "--out", out}),
                "File Save Error.", out, kMissing, -1);
    }
    expectLine(cli({"convert", "--from", "1", "--in", path("a.asc"), "--to", "1", "--out",
                    dir.path()}),
               "File Save Error.", dir.path(), "Is a directory", -1);
    expectLine(cli({"append", "--from", "1", "--in", path("a.asc"), "--to", "1", "--out",
                    path("absent.asc")}),
               "File Save Error.", path("absent.asc"), kMissing, -1);
    EXPECT_FALSE(QFile::exists(path("absent.asc")));
}

// A convert or copy that cannot read its source, or write its target, names it and writes
// nothing.
TEST_F(FileErrors, ConvertAndCopyNameTheSourceOrTheTarget)
{
    writeAll(path("x.i"), "1\n");
    expectLine(cli({"convert", "--from", "0", "--in", path("x.i"), "--in-q", path("none.q"), "--to",
                    "1", "--out", path("o.asc")}),
               "File Load Error.", path("none.q"), kMissing, -2);
    EXPECT_FALSE(QFile::exists(path("o.asc")));
    expectLine(cli({"copy", "--from", "wv", "--in", path("gone.wv"), "--to", "wav-mixed", "--out",
                    path("o.wav")}),
               "File Load Error.", path("gone.wv"), kMissing, -1);
    EXPECT_FALSE(QFile::exists(path("o.wav")));
    const QString source = written("wv", "s.wv", 10);
    const QString target = path("no/such/o.wav");
    expectLine(cli({"copy", "--from", "wv", "--in", source, "--to", "wav-mixed", "--out", target}),
               "File Load Error.", target, kMissing, -1);
}

TEST_F(FileErrors, APictureThatCannotBeWrittenNamesTheFileAndTheReason)
{
    writeAll(path("a.asc"), "1 2\n3 4\n5 6\n7 8\n");
    const QString png = path("no/such/folder/a.png");
    const CliRun r = cli(
            {"plot", "--from", "1", "--in", path("a.asc"), "--view", "spectrum", "--png", png});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromLocal8Bit(r.err).contains("cannot write " + png + ": " + kMissing))
            << r.err.constData();
}
