#include "samplearray.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Bytes of the mapping around address that the kernel backs with huge pages, from smaps; -1
// when it cannot be told.
long long hugeBytesAround(const void *address)
{
    std::ifstream smaps("/proc/self/smaps");
    const auto a = reinterpret_cast<unsigned long long>(address);
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        unsigned long long begin = 0, end = 0;
        if (std::sscanf(line.c_str(), "%llx-%llx ", &begin, &end) == 2
            && line.find(':') > line.find('-'))
            inside = a >= begin && a < end;
        else if (inside && line.rfind("AnonHugePages:", 0) == 0)
            return std::atoll(line.c_str() + 14) * 1024;
    }
    return -1;
}

TEST(SampleArray, AdoptTakesOverAMallocBufferAndFreesItWithTheLastHolder)
{
    auto *p = static_cast<float *>(std::malloc(8 * sizeof(float)));
    ASSERT_NE(p, nullptr);
    for (int k = 0; k < 8; ++k)
        p[k] = float(k);
    SampleArray a = SampleArray::adopt(p, 6);  // the buffer may hold more than the count
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.data(), p);
    EXPECT_EQ(a.size(), 6);
    SampleArray b = a;
    a.reset();
    EXPECT_EQ(b[5], 5.0f);  // still alive through the copy; ASan reports a leak or a double free
}

TEST(SampleArray, AdoptRefusesNullAndNegativeCountsWithoutLeaking)
{
    EXPECT_TRUE(SampleArray::adopt(nullptr, 4).isNull());
    auto *p = static_cast<float *>(std::malloc(4 * sizeof(float)));
    const SampleArray a = SampleArray::adopt(p, -1);  // p is freed here; ASan would see a leak
    EXPECT_TRUE(a.isNull());
    EXPECT_EQ(a.size(), 0);
    const SampleArray empty
            = SampleArray::adopt(static_cast<float *>(std::malloc(sizeof(float))), 0);
    EXPECT_FALSE(empty.isNull());
    EXPECT_EQ(empty.size(), 0);
}

TEST(SampleArray, LargeArraysAreAdvisedOntoHugePages)
{
    constexpr int64_t kCount = int64_t(16) << 20;  // 64 MiB: many whole 2 MiB pages
    const SampleArray a = SampleArray::allocate(kCount);
    ASSERT_FALSE(a.isNull());
    for (int64_t k = 0; k < kCount; ++k)
        a[k] = 1.0f;
    const long long huge = hugeBytesAround(a.data() + kCount / 2);
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string setting;
    std::getline(mode, setting);
    // Only where the system lets a program ask ("[madvise]" or "[always]"); elsewhere the advice
    // is a harmless no-op. Advised regions are compacted for at fault time, so they get them.
    if (huge < 0 || setting.empty() || setting.find("[never]") != std::string::npos)
        GTEST_SKIP() << "no transparent huge pages here (" << setting << ")";
    EXPECT_GT(huge, 0);
}

}  // namespace
