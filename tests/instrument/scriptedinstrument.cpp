#include "scriptedinstrument.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <dlfcn.h>
#include <stdexcept>

namespace {

const char *const kKeysightFile = "root/opt/keysight/iolibs/libktvisa32.so";
const char *const kNiFile = "sys/libvisa.so.0";
void *scripted = nullptr;

QTemporaryDir &tree()
{
    static QTemporaryDir dir;
    return dir;
}

void place(const QString &relative, bool wanted)
{
    const QString path = ScriptedInstrument::treePath(relative);
    QFile::remove(path);
    if (wanted) {
        QDir().mkpath(QFileInfo(path).path());
        QFile::copy(QStringLiteral(SCRIPTED_VISA_FILE), path);
    }
}

}  // namespace

QString ScriptedInstrument::treePath(const QString &relative)
{
    return tree().filePath(relative);
}

void ScriptedInstrument::useTree(bool withKeysight, bool withNi)
{
    QDir().mkpath(treePath(QStringLiteral("sys")));
    place(QLatin1String(kKeysightFile), withKeysight);
    place(QLatin1String(kNiFile), withNi);
    QDir niConfiguration(treePath(QStringLiteral("root/etc/natinst/nivisa")));
    if (withNi)
        niConfiguration.mkpath(QStringLiteral("."));
    else
        niConfiguration.removeRecursively();
    setenv("PONTIL_ROOT", QFile::encodeName(treePath(QStringLiteral("root"))).constData(), 1);
    setenv("PONTIL_LIBRARY_PATH", QFile::encodeName(treePath(QStringLiteral("sys"))).constData(),
           1);
    KxViUnloadVisaLibrary();
}

void ScriptedInstrument::start(bool streamMode)
{
    useTree(true, false);
    KxViSetDefaultLibrary(KXVI_LIBRARY_KEYSIGHT);
    ViSession rm = 0;
    if (viOpenDefaultRM(&rm) != VI_SUCCESS)
        throw std::runtime_error("the scripted implementation does not load");
    if (!scripted) {
        const QByteArray file = QFile::encodeName(treePath(QLatin1String(kKeysightFile)));
        scripted = dlopen(file.constData(), RTLD_NOW | RTLD_NOLOAD);
        if (!scripted)
            throw std::runtime_error("the scripted implementation is not the one loaded");
    }
    reinterpret_cast<void (*)(int)>(control("scriptReset"))(streamMode ? 1 : 0);
}

QString ScriptedInstrument::servedBy()
{
    ViChar text[VI_FIND_BUFLEN] = {};
    if (viStatusDesc(0, 0, text) != VI_SUCCESS)
        return QString();
    return QString::fromLocal8Bit(text).remove(QStringLiteral("scripted:"));
}

void *ScriptedInstrument::control(const char *name)
{
    void *function = scripted ? dlsym(scripted, name) : nullptr;
    if (!function)
        throw std::runtime_error(name);
    return function;
}

void ScriptedInstrument::reply(const QByteArray &bytes)
{
    reinterpret_cast<void (*)(const void *, unsigned)>(control("scriptReply"))(bytes.constData(),
                                                                               bytes.size());
}

QByteArray ScriptedInstrument::written()
{
    return QByteArray(reinterpret_cast<const char *(*)()>(control("scriptWritten"))());
}

#define SCRIPT_GETTER(type, name, script) \
    type ScriptedInstrument::name() \
    { \
        return reinterpret_cast<type (*)()>(control(script))(); \
    }

SCRIPT_GETTER(unsigned, readRequestCount, "scriptReadRequestCount")
SCRIPT_GETTER(unsigned, fileRequest, "scriptFileRequest")
SCRIPT_GETTER(int, renMode, "scriptRenMode")
SCRIPT_GETTER(ViAttrState, timeout, "scriptTimeout")
SCRIPT_GETTER(unsigned, openTimeout, "scriptOpenTimeout")
SCRIPT_GETTER(unsigned, openMode, "scriptOpenMode")
SCRIPT_GETTER(unsigned, pendingBytes, "scriptPendingBytes")

bool ScriptedInstrument::termCharEnabled()
{
    return reinterpret_cast<int (*)()>(control("scriptTermCharEnabled"))() != 0;
}

unsigned ScriptedInstrument::readRequest(unsigned index)
{
    return reinterpret_cast<unsigned (*)(unsigned)>(control("scriptReadRequest"))(index);
}

QString ScriptedInstrument::lastFile()
{
    return QFile::decodeName(reinterpret_cast<const char *(*)()>(control("scriptLastFile"))());
}

QString ScriptedInstrument::openedResource()
{
    return QString::fromLocal8Bit(
            reinterpret_cast<const char *(*)()>(control("scriptOpenedResource"))());
}

QString ScriptedInstrument::closed()
{
    return QString::fromLatin1(reinterpret_cast<const char *(*)()>(control("scriptClosed"))());
}
