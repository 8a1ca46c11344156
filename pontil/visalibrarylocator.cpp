#include "visalibrarylocator.h"

#include "pontil.h"

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

#ifndef PONTIL_MULTIARCH
#define PONTIL_MULTIARCH ""
#endif

namespace {

const char *const kNiLibrary = "libvisa.so.0";
const char *const kNiLegacyLibrary = "/usr/local/vxipnp/linux/lib64/libvisa.so";
const char *const kNiConfiguration = "/etc/natinst/nivisa";
const char *const kKeysightLibrary = "/opt/keysight/iolibs/libktvisa32.so";
const char *const kKxvisaLibrary = "libkxvisa.so.1";  // its SONAME
const char *const kDefaultLibrary = "libvisa.so.0";

bool isRegularFile(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> splitPathList(const std::string &list)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= list.size()) {
        const std::string::size_type end = std::min(list.find(':', start), list.size());
        if (end > start)
            parts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<std::string> defaultSystemDirectories(const std::string &root)
{
    std::vector<std::string> dirs;
    if (PONTIL_MULTIARCH[0] != '\0')
        dirs.push_back(root + "/usr/lib/" + PONTIL_MULTIARCH);
    for (const char *dir : {"/usr/lib64", "/usr/lib", "/usr/local/lib"})
        dirs.push_back(root + dir);
    return dirs;
}

}  // namespace

VisaLibraryLocator::VisaLibraryLocator(const std::string &pontilDirectory)
    : pontilDir(pontilDirectory)
{
    const char *rootVariable = std::getenv("PONTIL_ROOT");
    if (rootVariable && rootVariable[0] != '\0') {
        root = rootVariable;
        while (root.size() > 1 && root.back() == '/')
            root.pop_back();
        redirected = true;
    }
    const char *pathVariable = std::getenv("PONTIL_LIBRARY_PATH");
    if (pathVariable) {
        systemDirs = splitPathList(pathVariable);
        redirected = true;
    } else {
        systemDirs = defaultSystemDirectories(root);
    }
}

bool VisaLibraryLocator::isKnownCode(uint16_t code)
{
    return code == KXVI_LIBRARY_NI || code == KXVI_LIBRARY_KEYSIGHT || code == KXVI_LIBRARY_KXVISA
           || code == KXVI_LIBRARY_DEFAULT;
}

std::string VisaLibraryLocator::niConfigurationDirectory() const
{
    return root + kNiConfiguration;
}

std::vector<std::string> VisaLibraryLocator::inSystemDirectories(const char *fileName) const
{
    std::vector<std::string> paths;
    for (const std::string &dir : systemDirs)
        paths.push_back(dir + "/" + fileName);
    return paths;
}

bool VisaLibraryLocator::anyFileExists(const std::vector<std::string> &paths) const
{
    return std::any_of(paths.begin(), paths.end(), isRegularFile);
}

std::vector<std::string> VisaLibraryLocator::implementationFiles(uint16_t code) const
{
    std::vector<std::string> files;
    switch (code) {
    case KXVI_LIBRARY_NI:
        files = inSystemDirectories(kNiLibrary);
        files.push_back(root + kNiLegacyLibrary);
        break;
    case KXVI_LIBRARY_KEYSIGHT: files.push_back(root + kKeysightLibrary); break;
    case KXVI_LIBRARY_KXVISA:
        if (!pontilDir.empty())
            files.push_back(pontilDir + "/" + kKxvisaLibrary);
        for (const std::string &path : inSystemDirectories(kKxvisaLibrary))
            files.push_back(path);
        break;
    case KXVI_LIBRARY_DEFAULT:
        if (redirected)
            files = inSystemDirectories(kDefaultLibrary);
        else
            files.push_back(kDefaultLibrary);
        break;
    default: break;
    }
    return files;
}

bool VisaLibraryLocator::isInstalled(uint16_t code) const
{
    switch (code) {
    case KXVI_LIBRARY_NI:
        return isDirectory(niConfigurationDirectory()) && anyFileExists(implementationFiles(code));
    case KXVI_LIBRARY_KEYSIGHT:
    case KXVI_LIBRARY_KXVISA: return anyFileExists(implementationFiles(code));
    case KXVI_LIBRARY_DEFAULT: return anyFileExists(inSystemDirectories(kDefaultLibrary));
    default: return false;
    }
}

std::vector<std::string> VisaLibraryLocator::loadCandidates(uint16_t code) const
{
    std::vector<std::string> candidates;
    auto add = [&candidates](const std::vector<std::string> &files) {
        for (const std::string &file : files) {
            const bool bareName = file.find('/') == std::string::npos;
            if ((bareName || isRegularFile(file))
                && std::find(candidates.begin(), candidates.end(), file) == candidates.end())
                candidates.push_back(file);
        }
    };
    add(implementationFiles(code));
    add(implementationFiles(KXVI_LIBRARY_KXVISA));
    return candidates;
}
