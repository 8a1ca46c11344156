// selectVisaLibrary: the order NI, Keysight, kxvisa, through the linked Pontil.

#include "scriptedinstrument.h"
#include "visasession.h"

#include <gtest/gtest.h>

namespace {

// NI comes before Keysight, which is chosen when alone.
TEST(SelectVisaLibrary, NiComesBeforeKeysight)
{
    for (const bool withNi : {false, true}) {
        SCOPED_TRACE(withNi);
        ScriptedInstrument::useTree(true, withNi);
        EXPECT_TRUE(selectVisaLibrary());
        EXPECT_EQ(ScriptedInstrument::servedBy(),
                  ScriptedInstrument::treePath(withNi ? "sys/libvisa.so.0"
                                                      : "root/opt/keysight/iolibs/libktvisa32.so"));
    }
}

TEST(SelectVisaLibrary, TheSystemDefaultIsNeverChosen)
{
    // A library only in the system directories, without NI's configuration folder, is
    // "installed" only as the system default, which the selection does not try.
    ScriptedInstrument::useTree(false, true);
    ASSERT_EQ(KxViIsVisaLibraryInstalled(KXVI_LIBRARY_DEFAULT), 1);
    QDir(ScriptedInstrument::treePath("root/etc/natinst")).removeRecursively();
    ASSERT_EQ(KxViIsVisaLibraryInstalled(KXVI_LIBRARY_NI), 0);
    if (KxViIsVisaLibraryInstalled(KXVI_LIBRARY_KXVISA))
        GTEST_SKIP() << "kxvisa is installed beside libpontil.so";
    EXPECT_FALSE(selectVisaLibrary());
}

}  // namespace
