// Writes the fuzz seed corpora (fuzz/corpus/<target>/) from the same writers and builders the
// tests use. Disabled in normal runs; regenerate from the source folder with
//   TROVIK_FUZZ_SEEDS=$PWD/fuzz/corpus build/tests/container/container_tests
//   --gtest_also_run_disabled_tests --gtest_filter='*WriteFuzzSeeds*'
#include "../../fuzz/containerfuzzinput.h"
#include "containertestutil.h"
#include "dispatch.h"
#include "rawrecording.h"
#include "scopeawgfiles.h"
#include "wavformat.h"
#include "wvformat.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

void seed(const QString &root, const char *target, const char *name, const QByteArray &bytes)
{
    const QString dir = root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    ASSERT_TRUE(writeAll(dir + QLatin1Char('/') + QLatin1String(name), bytes));
}

TEST(FuzzSeeds, DISABLED_WriteFuzzSeeds)
{
    const QString root = qEnvironmentVariable("TROVIK_FUZZ_SEEDS");
    ASSERT_FALSE(root.isEmpty()) << "set TROVIK_FUZZ_SEEDS to the corpus folder";
    QTemporaryDir tmp;
    const auto file = [&](const char *n) { return tmp.filePath(QLatin1String(n)); };
    const IqBuffer r = sineRecord(24, 48000);

    ASSERT_EQ(writeFileOfType(r, 15, file("s.wav"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(r, 14, file("i.wav"), file("q.wav")), IqStatus::Ok);
    seed(root, "wav", "stereo16.wav", readAll(file("s.wav")));
    seed(root, "wav", "mono_pair", joinFuzzInput(readAll(file("i.wav")), readAll(file("q.wav"))));
    QByteArray eight = readAll(file("s.wav")).left(44 + 48);
    eight[34] = 8;  // 8-bit stereo, block 2
    eight[32] = 2;
    seed(root, "wav", "stereo8.wav", eight);
    QByteArray withList = readAll(file("s.wav"));
    withList.insert(36, QByteArray("LIST\x05\0\0\0INFOa\0", 14));
    seed(root, "wav", "list_chunk.wav", withList);

    ASSERT_EQ(writeFileOfType(r, 25, file("a.wv"), QString()), IqStatus::Ok);
    seed(root, "wv", "plain.wv", readAll(file("a.wv")));
    seed(root, "wv", "emptytag.wv",
         "{TYPE:Genova-WV,0}{SAMPLES:2}{CLOCK:1e6}{EMPTYTAG-8:#      }{WAVEFORM-9:#abcdefgh}");
    seed(root, "wv", "scrambled.wv", "{TYPE:Genova-WV,0}{SAMPLES:2}{WWAVEFORM-9:#abcdefgh}");

    ASSERT_EQ(writeFileOfType(r, 24, file("r.wvd"), QString()), IqStatus::Ok);
    seed(root, "rawrecording", "recording",
         joinFuzzInput(readAll(file("r.wvh")), readAll(file("r.wvd"))));

    seed(root, "awg", "pair",
         joinFuzzInput(awgFile(4, 2.0, {0, 1, 4095, 65535}), awgFile(4, 1.0, {9, 8, 7, 6})));
    TdsSpec v1, v3;
    v3.version = ":WFM#003";
    v3.bigEndian = true;
    seed(root, "tds", "v1_pair",
         joinFuzzInput(tdsFile(v1, {1, -2, 3, 300}), tdsFile(v1, {0, 0, 5, 6})));
    seed(root, "tds", "v3_big_endian", joinFuzzInput(tdsFile(v3, {1, 2}), tdsFile(v3, {3, 4, 5})));
}

}  // namespace
