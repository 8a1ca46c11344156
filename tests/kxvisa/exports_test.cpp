// The shared library's interface: exactly the standard vi... names, bound to themselves.
#include <cstdint>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>

namespace {

// The names read as one list: kept as laid out by hand.
// clang-format off
const char *const kStandardFunctions[] = {
    "viGetDefaultRM", "viFindRsrc", "viFindNext", "viOpen", "viClose", "viGetAttribute", "viSetAttribute",
    "viEnableEvent", "viDisableEvent", "viDiscardEvents", "viWaitOnEvent", "viInstallHandler",
    "viUninstallHandler", "viOpenDefaultRM", "viStatusDesc", "viTerminate", "viLock", "viUnlock", "viParseRsrc",
    "viParseRsrcEx", "viMove", "viMoveAsync", "viBufWrite", "viBufRead", "viSPrintf", "viVSPrintf", "viSScanf",
    "viVSScanf", "viGpibControlREN", "viVxiCommandQuery", "viGpibControlATN", "viGpibSendIFC", "viGpibCommand",
    "viGpibPassControl", "viAssertUtilSignal", "viAssertIntrSignal", "viMapTrigger", "viUnmapTrigger",
    "viWriteFromFile", "viReadToFile", "viRead", "viWrite", "viAssertTrigger", "viReadSTB", "viClear", "viIn16",
    "viOut16", "viMapAddress", "viUnmapAddress", "viPeek16", "viPoke16", "viSetBuf", "viFlush", "viPrintf",
    "viVPrintf", "viScanf", "viVScanf", "viIn8", "viOut8", "viPeek8", "viPoke8", "viReadAsync", "viWriteAsync",
    "viQueryf", "viVQueryf", "viIn32", "viOut32", "viMoveIn8", "viMoveOut8", "viMoveIn16", "viMoveOut16",
    "viMoveIn32", "viMoveOut32", "viPeek32", "viPoke32", "viMemAlloc", "viMemFree", "viUsbControlOut",
    "viUsbControlIn"};
// clang-format on

constexpr uint32_t kSentinel = 0x5EA1ED;

}  // namespace

// This program's own viOpenDefaultRM comes first in the global symbol lookup; the library
// must still reach its own when viGetDefaultRM calls it.
extern "C" __attribute__((visibility("default"))) int32_t viOpenDefaultRM(uint32_t *vi)
{
    *vi = kSentinel;
    return 0;
}

TEST(Exports, AllSeventyNineStandardFunctionsAndNothingInternal)
{
    void *lib = dlopen(KXVISA_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    EXPECT_EQ(std::size(kStandardFunctions), 79u);
    for (const char *name : kStandardFunctions)
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    EXPECT_EQ(dlsym(lib, "_ZN6kxvisa17parseResourceNameERKNSt7__cxx1112basic_stringIcSt11char_"
                         "traitsIcESaIcEEERNS_12ResourceNameE"),
              nullptr);
    EXPECT_EQ(dlsym(lib, "_ZN6kxvisa12SessionTable8instanceEv"), nullptr);

    using OpenRm = int32_t (*)(uint32_t *);
    using Close = int32_t (*)(uint32_t);
    const auto getDefaultRm = reinterpret_cast<OpenRm>(dlsym(lib, "viGetDefaultRM"));
    const auto close = reinterpret_cast<Close>(dlsym(lib, "viClose"));
    uint32_t rm = 0;
    ASSERT_EQ(getDefaultRm(&rm), 0);
    EXPECT_NE(rm, kSentinel);
    EXPECT_EQ(close(rm), 0);
    dlclose(lib);
}
