// Where the locator looks with and without the environment overrides.

#include "pontil.h"
#include "visalibrarylocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

class VisaLibraryLocatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        unsetenv("PONTIL_ROOT");
        unsetenv("PONTIL_LIBRARY_PATH");
    }
    void TearDown() override { SetUp(); }
};

bool contains(const std::vector<std::string> &list, const std::string &item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

TEST_F(VisaLibraryLocatorTest, SystemDirectoriesByDefault)
{
    const VisaLibraryLocator locator("/opt/trovik/lib");
    const std::vector<std::string> &dirs = locator.systemLibraryDirectories();
    EXPECT_TRUE(contains(dirs, "/usr/lib/x86_64-linux-gnu"));
    EXPECT_TRUE(contains(dirs, "/usr/lib64"));
    EXPECT_TRUE(contains(dirs, "/usr/local/lib"));
    EXPECT_EQ(locator.niConfigurationDirectory(), "/etc/natinst/nivisa");
    EXPECT_EQ(locator.implementationFiles(0xFFFF), std::vector<std::string>{"libvisa.so.0"});
    EXPECT_EQ(locator.implementationFiles(0x0FFF),
              std::vector<std::string>{"/opt/keysight/iolibs/libktvisa32.so"});
    const std::vector<std::string> ni = locator.implementationFiles(0x0FF6);
    EXPECT_EQ(ni.front(), "/usr/lib/x86_64-linux-gnu/libvisa.so.0");
    EXPECT_EQ(ni.back(), "/usr/local/vxipnp/linux/lib64/libvisa.so");
    const std::vector<std::string> kxvisa = locator.implementationFiles(0x0FAF);
    EXPECT_EQ(kxvisa.front(), "/opt/trovik/lib/libkxvisa.so.1");
    EXPECT_TRUE(contains(kxvisa, "/usr/lib64/libkxvisa.so.1"));
    EXPECT_TRUE(locator.implementationFiles(0x1234).empty());
}

TEST_F(VisaLibraryLocatorTest, RootPrefixesEveryFixedLocation)
{
    setenv("PONTIL_ROOT", "/stage/", 1);
    const VisaLibraryLocator locator("");
    EXPECT_EQ(locator.niConfigurationDirectory(), "/stage/etc/natinst/nivisa");
    EXPECT_TRUE(contains(locator.systemLibraryDirectories(), "/stage/usr/lib64"));
    EXPECT_EQ(locator.implementationFiles(0x0FFF),
              std::vector<std::string>{"/stage/opt/keysight/iolibs/libktvisa32.so"});
    EXPECT_EQ(locator.implementationFiles(0x0FF6).back(),
              "/stage/usr/local/vxipnp/linux/lib64/libvisa.so");
    // Redirected, the system default is looked for in the directories, not by the linker.
    EXPECT_TRUE(contains(locator.implementationFiles(0xFFFF), "/stage/usr/lib64/libvisa.so.0"));
    EXPECT_EQ(locator.implementationFiles(0x0FAF).front(),
              "/stage/usr/lib/x86_64-linux-gnu/libkxvisa.so.1");
}

TEST_F(VisaLibraryLocatorTest, LibraryPathReplacesTheDirectories)
{
    setenv("PONTIL_LIBRARY_PATH", "/a::/b/c:", 1);
    const VisaLibraryLocator locator("/p");
    EXPECT_EQ(locator.systemLibraryDirectories(), (std::vector<std::string>{"/a", "/b/c"}));
    EXPECT_EQ(locator.implementationFiles(0xFFFF),
              (std::vector<std::string>{"/a/libvisa.so.0", "/b/c/libvisa.so.0"}));
    EXPECT_EQ(locator.implementationFiles(0x0FAF),
              (std::vector<std::string>{"/p/libkxvisa.so.1", "/a/libkxvisa.so.1",
                                        "/b/c/libkxvisa.so.1"}));
    setenv("PONTIL_LIBRARY_PATH", "", 1);
    EXPECT_TRUE(VisaLibraryLocator("/p").systemLibraryDirectories().empty());
}

TEST_F(VisaLibraryLocatorTest, LoadCandidatesEndWithKxvisaOnceAndSkipAbsentFiles)
{
    setenv("PONTIL_LIBRARY_PATH", "/nonexistent-dir", 1);
    const VisaLibraryLocator locator("/nonexistent-pontil");
    EXPECT_TRUE(locator.loadCandidates(0x0FFF).empty());
    unsetenv("PONTIL_LIBRARY_PATH");
    const VisaLibraryLocator plain("/nonexistent-pontil");
    EXPECT_EQ(plain.loadCandidates(0xFFFF).front(), "libvisa.so.0");
}

}  // namespace
