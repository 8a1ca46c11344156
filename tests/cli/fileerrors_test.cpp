// Every failed load, save and copy of trovik-cli says on one stderr line what failed (the
// headline), which file, why (the system's words or the format's own), and the status.
#include "clirun.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
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
    const QString named = headline + QLatin1Char(' ') + path + QStringLiteral(": ");
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
        writeAll(path(QStringLiteral("source.asc")), text);
        const CliRun r
                = cli({QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
                       QStringLiteral("--in"), path(QStringLiteral("source.asc")),
                       QStringLiteral("--to"), key, QStringLiteral("--out"), path(name)});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        return path(name);
    }

    // Cuts a file to its first bytes.
    static void cut(const QString &file, int64_t bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.resize(bytes));
    }

protected:
    QTemporaryDir dir;
};

// One bad input: the files it needs are made by make(), which returns the file the message
// must name; the remaining arguments go to "trovik-cli info".
struct BadInput
{
    const char *what;
    const char *type;
    std::function<QString(FileErrors &, QStringList &extra)> make;
    QString reason;
    int status;
    bool needsNonRoot = false;
};

class FileErrorsTable : public FileErrors
{
public:
    void check(const BadInput &c)
    {
        SCOPED_TRACE(c.what);
        if (c.needsNonRoot && geteuid() == 0) {
            std::printf("  (skipped as root: %s)\n", c.what);
            return;
        }
        QStringList extra;
        const QString named = c.make(*this, extra);
        QStringList arguments
                = {QStringLiteral("info"), QStringLiteral("--from"), QLatin1String(c.type)};
        arguments += extra;
        const CliRun r = cli(arguments);
        const QString headline = c.status == -6
                                         ? QStringLiteral("The file %1 is scrambled. Load aborted.")
                                                   .arg(extra.value(1))
                                         : QStringLiteral("File Load Error.");
        expectLine(r, headline, named, c.reason, c.status);
    }
};

QString one(FileErrors &t, QStringList &extra, const QString &name, const QByteArray &bytes)
{
    const QString file = t.path(name);
    writeAll(file, bytes);
    extra = QStringList{QStringLiteral("--in"), file};
    return file;
}

// I and Q files of the same content.
QString pair(FileErrors &t, QStringList &extra, const QString &base, const QByteArray &bytes)
{
    const QString i = t.path(base + QStringLiteral("_i.wfm"));
    const QString q = t.path(base + QStringLiteral("_q.wfm"));
    writeAll(i, bytes);
    writeAll(q, bytes);
    extra = QStringList{QStringLiteral("--in"), i, QStringLiteral("--in-q"), q};
    return i;
}

QString given(QStringList &extra, const QString &file)
{
    extra = QStringList{QStringLiteral("--in"), file};
    return file;
}

const QString kMissing = QStringLiteral("No such file or directory");
const QString kHalf = QStringLiteral("header announces 1000 samples, the file holds 500");

}  // namespace

TEST_F(FileErrorsTable, EveryReaderNamesTheFileAndTheReason)
{
    const std::vector<BadInput> cases = {
            {"missing text file", "matlab-ascii-mixed",
             [](FileErrors &t, QStringList &e) {
                 return given(e, t.path(QStringLiteral("missing.asc")));
             },
             kMissing, -1},
            {"file in a folder that does not exist", "iqw-pairs",
             [](FileErrors &t, QStringList &e) {
                 return given(e, t.path(QStringLiteral("no/such/folder/a.iqw")));
             },
             kMissing, -1},
            {"a folder for a file", "matlab-ascii-mixed",
             [](FileErrors &t, QStringList &e) { return given(e, t.path(QString())); },
             QStringLiteral("Is a directory"), -1},
            {"unreadable file", "matlab-ascii-mixed",
             [](FileErrors &t, QStringList &e) {
                 const QString f = one(t, e, QStringLiteral("locked.asc"), "1 2\n");
                 QFile::setPermissions(f, QFileDevice::WriteOwner);
                 return f;
             },
             QStringLiteral("Permission denied"), -1, true},
            {"missing Q file", "mathcad-single",
             [](FileErrors &t, QStringList &e) {
                 one(t, e, QStringLiteral("x.i"), "1\n");
                 e << QStringLiteral("--in-q") << t.path(QStringLiteral("gone.q"));
                 return t.path(QStringLiteral("gone.q"));
             },
             kMissing, -2},
            {"WAV without RIFF id", "wav-mixed",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("a.wav"), QByteArray(64, 'x'));
             },
             QStringLiteral("not a WAV file: no RIFF id"), -4},
            {"WAV cut inside its header", "wav-mixed",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("a.wav"), QByteArray("RIFF\0\0\0\0", 8));
             },
             QStringLiteral("ends inside the 12-byte RIFF header"), -1},
            {"WAV of float samples", "wav-mixed",
             [](FileErrors &t, QStringList &e) {
                 QByteArray b = readAll(
                         t.written(QStringLiteral("wav-mixed"), QStringLiteral("f.wav"), 10));
                 b[20] = 3;
                 return one(t, e, QStringLiteral("f.wav"), b);
             },
             QStringLiteral("not PCM: format tag 3"), -4},
            // (Half would pass: older writers counted every sample twice in the size field.)
            {"WAV cut short of its samples", "wav-mixed",
             [](FileErrors &t, QStringList &e) {
                 const QString f
                         = t.written(QStringLiteral("wav-mixed"), QStringLiteral("h.wav"), 1000);
                 cut(f, 44 + 300 * 4);
                 return given(e, f);
             },
             QStringLiteral("header announces 1000 samples, the file holds 300"), -1},
            {"WV cut to half its samples", "wv",
             [](FileErrors &t, QStringList &e) {
                 const QString f = t.written(QStringLiteral("wv"), QStringLiteral("h.wv"), 1000);
                 cut(f, readAll(f).indexOf('#') + 1 + 500 * 4);
                 return given(e, f);
             },
             kHalf, -1},
            {"WV without samples marker", "wv",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("n.wv"), "{TYPE:Genova-WV,0}{SAMPLES:4}");
             },
             QStringLiteral("not a WV file"), -1},
            {"scrambled WV", "wv",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("s.wv"),
                            "{SAMPLES:1}{WWAVEFORM-5:#" + QByteArray(4, '\1') + "}");
             },
             QStringLiteral("scrambled (WWAVEFORM tag)"), -6},
            {"MAT cut inside its header", "matlab-binary-mixed",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("c.mat"), QByteArray(10, 'M'));
             },
             QStringLiteral("not a MAT file: 10 bytes, shorter than the 128-byte header"), -1},
            {"MAT of another kind", "matlab-binary-mixed",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("w.mat"), QByteArray(200, 'x'));
             },
             QStringLiteral("not a level 5 MAT file"), -1},
            {"MAT cut to half", "matlab-binary-mixed",
             [](FileErrors &t, QStringList &e) {
                 const QString f = t.written(QStringLiteral("matlab-binary-mixed"),
                                             QStringLiteral("h.mat"), 1000);
                 cut(f, QFile(f).size() / 2);
                 return given(e, f);
             },
             QStringLiteral("variable 1 announces"), -1},
            {"SPW binary cut to half its samples", "spw-binary-mixed",
             [](FileErrors &t, QStringList &e) {
                 const QString f = t.written(QStringLiteral("spw-binary-mixed"),
                                             QStringLiteral("h.sig"), 1000);
                 cut(f, QFile(f).size() - 500 * 16);
                 return given(e, f);
             },
             kHalf, -1},
            {"SPW binary without data marker", "spw-binary-mixed",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("m.sig"), "$SIGNAL_FILE 9\n$COMMON_INFO\n");
             },
             QStringLiteral("the header ends without its \"$DATA BINARY\" line"), -1},
            {"SPW ASCII cut to half its lines", "spw-ascii-mixed",
             [](FileErrors &t, QStringList &e) {
                 const QString f = t.written(QStringLiteral("spw-ascii-mixed"),
                                             QStringLiteral("h.ascsig"), 1000);
                 QByteArray b = readAll(f);
                 int at = b.indexOf("$DATA\n") + 6;
                 for (int k = 0; k < 500; ++k)
                     at = b.indexOf('\n', at) + 1;
                 return one(t, e, QStringLiteral("h.ascsig"), b.left(at));
             },
             kHalf, -1},
            {"Loomwave cut inside its header", "loomwave",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("c.ibn"), QByteArray(10, '\0'));
             },
             QStringLiteral("ends inside its 40-byte header"), -1},
            {"Loomwave cut to half its samples", "loomwave",
             [](FileErrors &t, QStringList &e) {
                 const QString f
                         = t.written(QStringLiteral("loomwave"), QStringLiteral("h.ibn"), 1000);
                 cut(f, 40 + 500 * 8);
                 return given(e, f);
             },
             kHalf, -1},
            {"AWG file cut to half its samples", "awg2000",
             [](FileErrors &t, QStringList &e) {
                 return pair(t, e, QStringLiteral("awg"),
                             be32(1000) + QByteArray(98, '\0') + QByteArray(1000, '\1'));
             },
             kHalf, -1},
            {"scope waveform with a wrong byte-order mark", "tds",
             [](FileErrors &t, QStringList &e) {
                 return pair(t, e, QStringLiteral("tds"), QByteArray(900, 'x'));
             },
             QStringLiteral("not a reference waveform file"), -1},
            {"scope waveform cut to half its samples", "tds",
             [](FileErrors &t, QStringList &e) {
                 QByteArray h(824, '\0');
                 h[0] = 0x0F;
                 h[1] = 0x0F;
                 h.replace(2, 8, ":WFM#001");
                 h.replace(11, 4, le32(824 + 2000 - 7));
                 h[15] = 2;
                 h.replace(16, 4, le32(824));
                 return pair(t, e, QStringLiteral("tdsh"), h + QByteArray(1000, '\1'));
             },
             kHalf, -1},
            {"ADS binary time file cut to half its samples", "ads-binary-time",
             [](FileErrors &t, QStringList &e) {
                 return pair(t, e, QStringLiteral("ads"),
                             "title\nv a b 1000\nc\nd\n" + QByteArray(8000, '\0'));
             },
             kHalf, -1},
            {"DAB file with fewer lines than symbols", "dab-q6",
             [](FileErrors &t, QStringList &e) {
                 return one(t, e, QStringLiteral("d.sym"), "Symbols:1000\n1\n2\n");
             },
             QStringLiteral("header announces 1000 samples, the file holds 3 lines"), -1},
    };
    for (const BadInput &c : cases)
        check(c);
}

TEST_F(FileErrors, EveryWriterNamesTheFileAndTheSystemsReason)
{
    writeAll(path(QStringLiteral("a.asc")), "1 2\n3 4\n");
    const char *keys[] = {"matlab-ascii-mixed",
                          "mathcad-single",
                          "matlab-binary-mixed",
                          "spw-binary-mixed",
                          "wav-mixed",
                          "iqw-pairs",
                          "loomwave",
                          "dab-q6",
                          "hex16",
                          "wv",
                          "recordia-raw"};
    for (const char *key : keys) {
        SCOPED_TRACE(key);
        const QString out = path(QStringLiteral("no/such/folder/out"));
        const CliRun r
                = cli({QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
                       QStringLiteral("--in"), path(QStringLiteral("a.asc")),
                       QStringLiteral("--to"), QLatin1String(key), QStringLiteral("--out"), out});
        expectLine(r, QStringLiteral("File Save Error."), out, kMissing, -1);
    }
    const CliRun r
            = cli({QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
                   QStringLiteral("--in"), path(QStringLiteral("a.asc")), QStringLiteral("--to"),
                   QStringLiteral("1"), QStringLiteral("--out"), dir.path()});
    expectLine(r, QStringLiteral("File Save Error."), dir.path(), QStringLiteral("Is a directory"),
               -1);
}

TEST_F(FileErrors, AppendToAMissingFileNamesIt)
{
    writeAll(path(QStringLiteral("a.asc")), "1 2\n");
    const CliRun r = cli({QStringLiteral("append"), QStringLiteral("--from"), QStringLiteral("1"),
                          QStringLiteral("--in"), path(QStringLiteral("a.asc")),
                          QStringLiteral("--to"), QStringLiteral("1"), QStringLiteral("--out"),
                          path(QStringLiteral("absent.asc"))});
    expectLine(r, QStringLiteral("File Save Error."), path(QStringLiteral("absent.asc")), kMissing,
               -1);
}

TEST_F(FileErrors, CopyNamesTheSourceOrTheTarget)
{
    CliRun r = cli({QStringLiteral("copy"), QStringLiteral("--from"), QStringLiteral("wv"),
                    QStringLiteral("--in"), path(QStringLiteral("gone.wv")), QStringLiteral("--to"),
                    QStringLiteral("wav-mixed"), QStringLiteral("--out"),
                    path(QStringLiteral("o.wav"))});
    expectLine(r, QStringLiteral("File Load Error."), path(QStringLiteral("gone.wv")), kMissing,
               -1);

    const QString source = written(QStringLiteral("wv"), QStringLiteral("s.wv"), 10);
    const QString target = path(QStringLiteral("no/such/o.wav"));
    r = cli({QStringLiteral("copy"), QStringLiteral("--from"), QStringLiteral("wv"),
             QStringLiteral("--in"), source, QStringLiteral("--to"), QStringLiteral("wav-mixed"),
             QStringLiteral("--out"), target});
    expectLine(r, QStringLiteral("File Load Error."), target, kMissing, -1);
}

TEST_F(FileErrors, APictureThatCannotBeWrittenNamesTheFileAndTheReason)
{
    writeAll(path(QStringLiteral("a.asc")), "1 2\n3 4\n5 6\n7 8\n");
    const QString png = path(QStringLiteral("no/such/folder/a.png"));
    const CliRun r
            = cli({QStringLiteral("plot"), QStringLiteral("--from"), QStringLiteral("1"),
                   QStringLiteral("--in"), path(QStringLiteral("a.asc")), QStringLiteral("--view"),
                   QStringLiteral("spectrum"), QStringLiteral("--png"), png});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromLocal8Bit(r.err).contains(QStringLiteral("cannot write ") + png
                                                       + QStringLiteral(": ") + kMissing))
            << r.err.constData();
}
