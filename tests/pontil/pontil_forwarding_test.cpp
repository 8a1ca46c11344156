// How calls reach the implementation: arguments, variadic functions, missing functions,
// self-calls inside the implementation and concurrent first calls.

#include "pontilsandbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(PontilForwarding, ArgumentsAndResultsPassThrough)
{
    PontilSandbox box;
    box.install("pontil/libkxvisa.so.1");
    box.setDefault(0x0FAF);
    ViSession rm = 0;
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viOpenDefaultRM)(&rm), VI_SUCCESS);
    EXPECT_EQ(rm, 0x1000u);
    ViUInt32 written = 0;
    const ViByte bytes[] = "*IDN?\n";
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viWrite)(rm, bytes, 6, &written), VI_SUCCESS);
    EXPECT_EQ(written, 6u);
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viClose)(rm + 1), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viClose)(rm), VI_SUCCESS);
    ViUInt8 value = 0;
    box.PONTIL_SANDBOX_CALL(viPeek8)(rm, nullptr, &value);
    EXPECT_EQ(value, 0x5A);
}

TEST(PontilForwarding, VariadicFunctionsGoThroughTheirVaListTwins)
{
    PontilSandbox box;
    box.install("pontil/libkxvisa.so.1");
    ViByte buffer[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viSPrintf)(1, buffer, "%d,%s,%.2f", 42, "ab", 2.5),
              VI_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char *>(buffer), "42,ab,2.50");

    int number = 0;
    char word[8] = {};
    const ViByte source[] = "17 volts";
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viSScanf)(1, source, "%d %7s", &number, word), VI_SUCCESS);
    EXPECT_EQ(number, 17);
    EXPECT_STREQ(word, "volts");

    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viPrintf)(1, "%ld;%c;%s", 1234567890123L, 'x', "end"),
              VI_SUCCESS);
    long big = 0;
    char letter = 0;
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viScanf)(1, "%ld;%c", &big, &letter), VI_SUCCESS);
    EXPECT_EQ(big, 1234567890123L);
    EXPECT_EQ(letter, 'x');

    int answer = 0;
    char text[8] = {};
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viQueryf)(1, "*IDN?\n", "%d %7s", &answer, text), VI_SUCCESS);
    EXPECT_EQ(answer, 123);
    EXPECT_STREQ(text, "ok");
}

TEST(PontilForwarding, MissingFunctionReturnsNotSupported)
{
    PontilSandbox box;
    box.install("pontil/libkxvisa.so.1", PontilSandbox::Fake::Minimal);
    ViSession rm = 0;
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viOpenDefaultRM)(&rm), VI_SUCCESS);
    ViUInt32 written = 5;
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viWrite)(rm, nullptr, 0, &written), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viWrite)(rm, nullptr, 0, &written), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viPrintf)(rm, "x"), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viQueryf)(rm, "x", "%d", &written), VI_ERROR_NSUP_OPER);
    ViUInt8 value = 3;
    box.PONTIL_SANDBOX_CALL(viPeek8)(rm, nullptr, &value);
    EXPECT_EQ(value, 3);
    EXPECT_NE(box.servedBy(), "");
}

TEST(PontilForwarding, MissingFunctionIsLookedUpAgainAfterReload)
{
    PontilSandbox box;
    box.install("pontil/libkxvisa.so.1", PontilSandbox::Fake::Minimal);
    ViUInt32 written = 0;
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viWrite)(1, nullptr, 4, &written), VI_ERROR_NSUP_OPER);
    box.unload();
    box.install("pontil/libkxvisa.so.1", PontilSandbox::Fake::Full);
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viWrite)(1, nullptr, 4, &written), VI_SUCCESS);
    EXPECT_EQ(written, 4u);
}

TEST(PontilForwarding, ImplementationCallingItselfStaysInside)
{
#if !PONTIL_USE_DEEPBIND
    GTEST_SKIP() << "built without RTLD_DEEPBIND";
#endif
    // Pontil's own vi... symbols are global here, as they are for a program linked to it.
    PontilSandbox box(PontilSandbox::Scope::Global);
    box.install("pontil/libkxvisa.so.1");
    ViFindList list = 0;
    ViUInt32 count = 0;
    ViChar description[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viFindRsrc)(1, "?*", &list, &count, description), VI_SUCCESS);
}

TEST(PontilForwarding, ConcurrentFirstCallsShareOneImplementation)
{
    PontilSandbox box;
    const std::string kxvisa = box.install("pontil/libkxvisa.so.1");
    auto openDefaultRm = box.PONTIL_SANDBOX_CALL(viOpenDefaultRM);
    auto statusDesc = box.PONTIL_SANDBOX_CALL(viStatusDesc);
    constexpr int kThreads = 8;
    for (int round = 0; round < 25; ++round) {
        std::atomic<int> ready{0};
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&] {
                ready.fetch_add(1);
                while (ready.load() < kThreads) {
                }
                ViSession rm = 0;
                ViChar text[VI_FIND_BUFLEN] = {};
                if (openDefaultRm(&rm) != VI_SUCCESS || rm != 0x1000u
                    || statusDesc(rm, 0, text) != VI_SUCCESS
                    || std::string(text) != "fakevisa:" + kxvisa)
                    failures.fetch_add(1);
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        EXPECT_EQ(failures.load(), 0) << "round " << round;
        EXPECT_EQ(box.unload(), 1);
        EXPECT_EQ(box.unload(), 0);
        // Every reference taken by the losing threads was dropped again.
        EXPECT_FALSE(PontilSandbox::isLoaded(kxvisa)) << "round " << round;
    }
}

}  // namespace
