// trovik-cli visa: which VISA implementations Pontil finds and which one Trovik would use.

#include "clioptions.h"
#include "command.h"
#include "pontil.h"
#include "visalibrarylocator.h"
#include "visasession.h"
#include "visaversion.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <vector>

namespace {

struct Implementation
{
    uint16_t code;
    const char *name;
};

const Implementation kImplementations[] = {
        {KXVI_LIBRARY_NI, "NI-VISA"},
        {KXVI_LIBRARY_KEYSIGHT, "Keysight IO Libraries"},
        {KXVI_LIBRARY_KXVISA, "kxvisa"},
        {KXVI_LIBRARY_DEFAULT, "system default VISA"},
};

// What the loaded implementation says about itself.
struct Identity
{
    ViStatus status = VI_ERROR_LIBRARY_NFOUND;
    std::string file;
    std::string maker;
};

const char *nameOf(uint16_t code)
{
    for (const Implementation &implementation : kImplementations)
        if (implementation.code == code)
            return implementation.name;
    return "?";
}

std::string pontilDirectory()
{
    Dl_info info;
    void *function = dlsym(RTLD_DEFAULT, "KxViSetDefaultLibrary");
    if (!function || !dladdr(function, &info) || !info.dli_fname)
        return std::string();
    const std::string path = info.dli_fname;
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The candidate Pontil actually opened, as the dynamic linker names it.
std::string loadedCandidate(const VisaLibraryLocator &locator, uint16_t code)
{
    for (const std::string &candidate : locator.loadCandidates(code)) {
        void *handle = dlopen(candidate.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (!handle)
            continue;
        std::string file = candidate;
        struct link_map *map = nullptr;
        if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && map->l_name[0])
            file = map->l_name;
        dlclose(handle);
        return file;
    }
    return std::string();
}

// Loads the implementation of code through Pontil, asks it who it is and releases it.
Identity identify(const VisaLibraryLocator &locator, uint16_t code)
{
    Identity identity;
    KxViUnloadVisaLibrary();
    KxViSetDefaultLibrary(code);
    ViSession resourceManager = 0;
    identity.status = viOpenDefaultRM(&resourceManager);
    identity.file = loadedCandidate(locator, code);
    if (identity.status >= VI_SUCCESS) {
        char maker[VI_FIND_BUFLEN + 1] = {};
        if (viGetAttribute(resourceManager, VI_ATTR_RSRC_MANF_NAME, maker) >= VI_SUCCESS)
            identity.maker = maker;
        viClose(resourceManager);
    }
    KxViUnloadVisaLibrary();
    return identity;
}

std::string joined(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items) {
        text += (text.empty() ? "" : ", ") + item;
        if (item.find('/') == std::string::npos)
            text += " (dynamic linker search)";
    }
    return text.empty() ? std::string("(nowhere)") : text;
}

void printIdentity(const Identity &identity)
{
    if (identity.status < VI_SUCCESS) {
        std::printf("         does not load (status 0x%08X)\n", unsigned(identity.status));
        return;
    }
    std::printf("         served by %s\n", identity.file.empty() ? "?" : identity.file.c_str());
    const QByteArray version
            = visaImplementationVersion(QString::fromStdString(identity.file)).toUtf8();
    std::printf("         version %s%s%s\n", version.constData(),
                identity.maker.empty() ? "" : ", ", identity.maker.c_str());
}

void printEnvironment(const VisaLibraryLocator &locator)
{
    for (const char *variable : {"PONTIL_ROOT", "PONTIL_LIBRARY_PATH"}) {
        if (const char *value = std::getenv(variable))
            std::printf("%s=%s\n", variable, value);
    }
    std::printf("system library directories: %s\n",
                joined(locator.systemLibraryDirectories()).c_str());
    std::printf("NI configuration folder: %s\n\n", locator.niConfigurationDirectory().c_str());
}

int runVisa(const QStringList &arguments)
{
    CliOptions options;
    QString error;
    if (!options.parse(arguments, {}, error, {QStringLiteral("--no-load")}))
        return cliFail(QStringLiteral("visa: ") + error);
    const bool probe = !options.has(QStringLiteral("--no-load"));
    const VisaLibraryLocator locator(pontilDirectory());
    printEnvironment(locator);
    for (const Implementation &implementation : kImplementations) {
        const bool installed = KxViIsVisaLibraryInstalled(implementation.code) != 0;
        std::printf("0x%04X  %-22s %s\n", implementation.code, implementation.name,
                    installed ? "installed" : "not installed");
        std::printf("         looked for: %s\n",
                    joined(locator.implementationFiles(implementation.code)).c_str());
        if (installed && probe)
            printIdentity(identify(locator, implementation.code));
    }
    const uint16_t chosen = firstInstalledVisaLibrary();
    if (chosen == 0) {
        std::printf("\nchoice: none (Trovik would quit: \"VISA driver not installed.\")\n");
        return 1;
    }
    std::printf("\nchoice: 0x%04X %s\n", chosen, nameOf(chosen));
    if (!probe)
        return 0;
    const Identity identity = identify(locator, chosen);
    printIdentity(identity);
    return identity.status >= VI_SUCCESS ? 0 : 1;
}

const CliCommandRegistration registration({
        "visa",
        "show which VISA implementations are installed and which one is used",
        "Usage: trovik-cli visa [--no-load]\n"
        "Lists the four VISA library codes with the files looked for, whether each counts as\n"
        "installed and, for installed ones, the file that serves it and the version it reports.\n"
        "Then names the implementation Trovik would choose (NI-VISA, then Keysight, then\n"
        "kxvisa). --no-load only looks at files and loads no implementation.\n"
        "PONTIL_LIBRARY_PATH (colon-separated) replaces the system library directories;\n"
        "PONTIL_ROOT is put in front of the fixed locations. Exit status 1 when Trovik would\n"
        "find no implementation.\n\n"
        "Example:\n"
        "  trovik-cli visa",
        runVisa,
        80,
});

}  // namespace
