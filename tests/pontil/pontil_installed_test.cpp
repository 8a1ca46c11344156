// KxViIsVisaLibraryInstalled: which files and folders make each code count as installed.

#include "pontilsandbox.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(PontilInstalled, WhichFilesMakeEachCodeCount)
{
    const char *const ni = "<NI configuration folder>";
    const struct
    {
        std::vector<std::string> files;
        std::vector<std::pair<uint16_t, int>> answers;
    } rows[] = {// NI needs its configuration folder, the system default does not.
                {{"sys/libvisa.so.0"}, {{0x0FF6, 0}, {0xFFFF, 1}}},
                {{"sys/libvisa.so.0", ni}, {{0x0FF6, 1}}},
                // The configuration folder alone is not enough.
                {{ni}, {{0x0FF6, 0}}},
                {{ni, "root/usr/local/vxipnp/linux/lib64/libvisa.so"}, {{0x0FF6, 1}, {0xFFFF, 0}}},
                // Keysight needs its own file.
                {{"sys/libktvisa32.so"}, {{0x0FFF, 0}}},
                {{"root/opt/keysight/iolibs/libktvisa32.so"}, {{0x0FFF, 1}, {0x0FAF, 0}}},
                // kxvisa beside Pontil or in the system directories.
                {{"pontil/libkxvisa.so.1"}, {{0x0FAF, 1}}},
                {{"sys/libkxvisa.so.1"}, {{0x0FAF, 1}, {0xFFFF, 0}}}};
    for (const auto &r : rows) {
        PontilSandbox box;
        std::string trace;
        for (const std::string &f : r.files) {
            f == ni ? box.makeNiConfiguration() : void(box.install(f));
            trace += f + " ";
        }
        for (const auto &[code, want] : r.answers)
            EXPECT_EQ(box.installed(code), want) << trace << std::hex << code;
    }
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
