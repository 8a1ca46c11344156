// selectVisaLibrary: the order NI, Keysight, kxvisa, through the linked Pontil.

#include "scriptedinstrument.h"
#include "visasession.h"

#include <gtest/gtest.h>

namespace {

QString servedAfterSelect(bool withKeysight, bool withNi, bool *selected)
{
    ScriptedInstrument::useTree(withKeysight, withNi);
    *selected = selectVisaLibrary();
    return ScriptedInstrument::servedBy();
}

TEST(SelectVisaLibrary, OnlyKeysightSelectsKeysight)
{
    bool selected = false;
    EXPECT_EQ(servedAfterSelect(true, false, &selected),
              ScriptedInstrument::treePath("root/opt/keysight/iolibs/libktvisa32.so"));
    EXPECT_TRUE(selected);
}

TEST(SelectVisaLibrary, NiComesBeforeKeysight)
{
    bool selected = false;
    EXPECT_EQ(servedAfterSelect(true, true, &selected),
              ScriptedInstrument::treePath("sys/libvisa.so.0"));
    EXPECT_TRUE(selected);
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
