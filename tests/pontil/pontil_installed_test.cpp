// KxViIsVisaLibraryInstalled: which files and folders make each code count as installed.

#include "pontilsandbox.h"

#include <gtest/gtest.h>

namespace {

TEST(PontilInstalled, NothingInstalled)
{
    PontilSandbox box;
    for (uint16_t code : {0x0FF6, 0x0FFF, 0x0FAF, 0xFFFF, 0x1234, 0x0000})
        EXPECT_EQ(box.installed(code), 0) << code;
}

TEST(PontilInstalled, NiNeedsItsConfigurationFolderTheSystemDefaultDoesNot)
{
    PontilSandbox box;
    box.install("sys/libvisa.so.0");
    EXPECT_EQ(box.installed(0x0FF6), 0);
    EXPECT_EQ(box.installed(0xFFFF), 1);
    box.makeNiConfiguration();
    EXPECT_EQ(box.installed(0x0FF6), 1);
}

TEST(PontilInstalled, NiConfigurationFolderAloneIsNotEnough)
{
    PontilSandbox box;
    box.makeNiConfiguration();
    EXPECT_EQ(box.installed(0x0FF6), 0);
    box.install("root/usr/local/vxipnp/linux/lib64/libvisa.so");
    EXPECT_EQ(box.installed(0x0FF6), 1);
    EXPECT_EQ(box.installed(0xFFFF), 0);
}

TEST(PontilInstalled, KeysightNeedsItsFile)
{
    PontilSandbox box;
    box.install("sys/libktvisa32.so");
    EXPECT_EQ(box.installed(0x0FFF), 0);
    box.install("root/opt/keysight/iolibs/libktvisa32.so");
    EXPECT_EQ(box.installed(0x0FFF), 1);
    EXPECT_EQ(box.installed(0x0FAF), 0);
}

TEST(PontilInstalled, KxvisaBesidePontilOrInTheSystemDirectories)
{
    PontilSandbox beside;
    beside.install("pontil/libkxvisa.so.1");
    EXPECT_EQ(beside.installed(0x0FAF), 1);
    PontilSandbox system;
    system.install("sys/libkxvisa.so.1");
    EXPECT_EQ(system.installed(0x0FAF), 1);
    EXPECT_EQ(system.installed(0xFFFF), 0);
}

TEST(PontilInstalled, AFolderWithALibraryNameDoesNotCount)
{
    PontilSandbox box;
    std::filesystem::create_directories(box.path("pontil/libkxvisa.so.1"));
    std::filesystem::create_directories(box.path("root/opt/keysight/iolibs/libktvisa32.so"));
    EXPECT_EQ(box.installed(0x0FAF), 0);
    EXPECT_EQ(box.installed(0x0FFF), 0);
}

TEST(PontilInstalled, AskingLoadsNothing)
{
    PontilSandbox box;
    const std::string kxvisa = box.install("pontil/libkxvisa.so.1");
    EXPECT_EQ(box.installed(0x0FAF), 1);
    EXPECT_FALSE(PontilSandbox::isLoaded(kxvisa));
    EXPECT_EQ(box.unload(), 0);
}

TEST(PontilInstalled, LibraryPathListReplacesTheSystemDirectories)
{
    PontilSandbox box;
    box.install("other/libvisa.so.0");
    EXPECT_EQ(box.installed(0xFFFF), 0);
    setenv("PONTIL_LIBRARY_PATH",
           (":" + box.path("empty") + "::" + box.path("other") + ":").c_str(), 1);
    EXPECT_EQ(box.installed(0xFFFF), 1);
    EXPECT_EQ(box.servedBy(), box.path("other/libvisa.so.0"));
}

}  // namespace
