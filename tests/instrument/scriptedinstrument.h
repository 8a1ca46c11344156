#pragma once

#include "pontil.h"

#include <QString>
#include <QTemporaryDir>

// The scripted stand-in implementation, installed in a private tree as the only VISA,
// loaded through the linked libpontil.so, and its script controls.
class ScriptedInstrument
{
public:
    static constexpr ViSession kResourceManager = 0x1000;
    static constexpr ViSession kSession = 0x2000;

    // Points Pontil at the tree (NI and Keysight copies as asked), unloads whatever was
    // loaded and makes the next call load afresh.
    static void useTree(bool withKeysight, bool withNi);
    // The tree with only the Keysight copy, loaded, with an empty script.
    static void start(bool streamMode = false);
    static QString treePath(const QString &relative);
    // Which file serves the calls now ("" when none).
    static QString servedBy();

    static void reply(const QByteArray &bytes);
    static QByteArray written();
    static unsigned readRequestCount();
    static unsigned readRequest(unsigned index);
    static unsigned fileRequest();
    static QString lastFile();
    static int renMode();
    static ViAttrState timeout();
    static QString openedResource();
    static unsigned openTimeout();
    static unsigned openMode();
    static unsigned pendingBytes();
    static bool termCharEnabled();
    // The sessions closed so far, in order: "rm " or "instr " each.
    static QString closed();

private:
    static void *control(const char *name);
};
