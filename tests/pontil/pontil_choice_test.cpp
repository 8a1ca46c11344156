// Which implementation serves the calls: library codes, fall-back, unload and reload.

#include "pontilsandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const char *const kKeysight = "root/opt/keysight/iolibs/libktvisa32.so";
const char *const kKxvisaBeside = "pontil/libkxvisa.so.1";
const char *const kKxvisaSystem = "sys/libkxvisa.so.1";
const char *const kSystemVisa = "sys/libvisa.so.0";
const char *const kNiLegacy = "root/usr/local/vxipnp/linux/lib64/libvisa.so";

TEST(PontilChoice, UnknownCodeIsRejectedAndTheEarlierChoiceStays)
{
    PontilSandbox box;
    box.install(kKxvisaBeside);
    const std::string keysight = box.install(kKeysight);
    EXPECT_EQ(box.setDefault(0x0FFF), 1);
    EXPECT_EQ(box.setDefault(0x1234), 0);
    EXPECT_EQ(box.setDefault(0x0000), 0);
    EXPECT_EQ(box.setDefault(0x0FFE), 0);
    EXPECT_EQ(box.setDefault(0xFFFE), 0);
    EXPECT_EQ(box.servedBy(), keysight);
}

TEST(PontilChoice, EachCodeLoadsItsOwnFile)
{
    PontilSandbox box;
    const std::string beside = box.install(kKxvisaBeside);
    const std::string keysight = box.install(kKeysight);
    const std::string system = box.install(kSystemVisa);
    const struct
    {
        uint16_t code;
        std::string file;
    } cases[] = {{0x0FAF, beside}, {0x0FFF, keysight}, {0x0FF6, system}, {0xFFFF, system}};
    for (const auto &c : cases) {
        ASSERT_EQ(box.setDefault(c.code), 1);
        EXPECT_EQ(box.servedBy(), c.file) << c.code;
        EXPECT_EQ(box.unload(), 1);
    }
}

TEST(PontilChoice, WhatIsThereDecidesWhoServes)
{
    const char *const garbage = "<garbage> ";
    const struct
    {
        const char *why;
        uint16_t code;  // 0: no choice made, the system default
        std::vector<std::string> files;
        std::string servedBy;
    } rows[] = {{"default code", 0, {kKxvisaBeside, kSystemVisa}, kSystemVisa},
                {"Keysight falls back", 0x0FFF, {kKxvisaBeside}, kKxvisaBeside},
                {"unloadable file",
                 0x0FFF,
                 {garbage + std::string(kKeysight), kKxvisaSystem},
                 kKxvisaSystem},
                {"kxvisa of the system", 0x0FAF, {kKxvisaSystem}, kKxvisaSystem},
                {"kxvisa beside first", 0x0FAF, {kKxvisaSystem, kKxvisaBeside}, kKxvisaBeside},
                {"NI without its folder", 0x0FF6, {kNiLegacy}, kNiLegacy},
                {"NI from the system first", 0x0FF6, {kNiLegacy, kSystemVisa}, kSystemVisa}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.why);
        PontilSandbox box;
        for (const std::string &f : r.files)
            f.rfind(garbage, 0) == 0 ? void(box.installGarbage(f.substr(std::strlen(garbage))))
                                     : void(box.install(f));
        if (r.code)
            box.setDefault(r.code);
        EXPECT_EQ(box.servedBy(), box.path(r.servedBy));
    }
}

TEST(PontilChoice, UnloadReportsWhetherSomethingWasLoaded)
{
    PontilSandbox box;
    const std::string beside = box.install(kKxvisaBeside);
    box.setDefault(0x0FAF);
    EXPECT_EQ(box.unload(), 0);
    EXPECT_EQ(box.servedBy(), beside);
    EXPECT_TRUE(PontilSandbox::isLoaded(beside));
    EXPECT_EQ(box.unload(), 1);
    EXPECT_FALSE(PontilSandbox::isLoaded(beside));
    EXPECT_EQ(box.unload(), 0);
}

TEST(PontilChoice, AChoiceTakesEffectAtTheNextLoad)
{
    PontilSandbox box;
    const std::string beside = box.install(kKxvisaBeside);
    const std::string keysight = box.install(kKeysight);
    box.setDefault(0x0FAF);
    EXPECT_EQ(box.servedBy(), beside);
    // Choosing while loaded changes nothing until the unload.
    box.setDefault(0x0FFF);
    EXPECT_EQ(box.servedBy(), beside);
    box.unload();
    EXPECT_EQ(box.servedBy(), keysight);
    EXPECT_FALSE(PontilSandbox::isLoaded(beside));
    // Unloaded first, then chosen.
    box.unload();
    box.setDefault(0x0FAF);
    EXPECT_EQ(box.servedBy(), beside);
    EXPECT_FALSE(PontilSandbox::isLoaded(keysight));
}

TEST(PontilChoice, NoImplementationAtAllFailsEveryCall)
{
    PontilSandbox box;
    for (uint16_t code : {0x0FF6, 0x0FFF, 0x0FAF, 0xFFFF}) {
        EXPECT_EQ(box.setDefault(code), 1) << "every known code is accepted";
        ViStatus status = VI_SUCCESS;
        EXPECT_EQ(box.servedBy(&status), "");
        EXPECT_EQ(status, VI_ERROR_LIBRARY_NFOUND);
        ViSession rm = 77;
        EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viOpenDefaultRM)(&rm), VI_ERROR_LIBRARY_NFOUND);
        EXPECT_EQ(rm, 77u);
        EXPECT_EQ(box.PONTIL_SANDBOX_CALL(viPrintf)(1, "%d", 5), VI_ERROR_LIBRARY_NFOUND);
        ViUInt8 value = 9;
        box.PONTIL_SANDBOX_CALL(viPeek8)(1, nullptr, &value);
        EXPECT_EQ(value, 9);
        EXPECT_EQ(box.unload(), 0);
    }
}

TEST(PontilChoice, ImplementationInstalledAfterAFailedCallIsFoundByTheNextCall)
{
    PontilSandbox box;
    box.setDefault(0x0FAF);
    EXPECT_EQ(box.servedBy(), "");
    const std::string beside = box.install(kKxvisaBeside);
    EXPECT_EQ(box.servedBy(), beside);
}

}  // namespace
