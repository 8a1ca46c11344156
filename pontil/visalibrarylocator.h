#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where the implementation behind each library code lives on this system, and whether it
// counts as installed. "System library directories" are the usual multiarch, lib64, lib
// and local lib folders; the environment variable PONTIL_LIBRARY_PATH (colon-separated)
// replaces that list, and PONTIL_ROOT is put in front of every fixed location, so tests
// and staged installations can point the loader at a tree of their own. The environment
// is read when the locator is made.
class VisaLibraryLocator
{
public:
    // pontilDirectory: the folder libpontil.so was loaded from ("" when unknown).
    explicit VisaLibraryLocator(const std::string &pontilDirectory);

    static bool isKnownCode(uint16_t code);
    bool isInstalled(uint16_t code) const;
    // The files that may hold the implementation of code, most preferred first. A name
    // without a slash is left to the dynamic linker's own search.
    std::vector<std::string> implementationFiles(uint16_t code) const;
    // What a load for code tries, in order: its own files that exist, then those of the
    // kxvisa fall-back, each once.
    std::vector<std::string> loadCandidates(uint16_t code) const;
    const std::vector<std::string> &systemLibraryDirectories() const { return systemDirs; }
    std::string niConfigurationDirectory() const;

private:
    std::vector<std::string> inSystemDirectories(const char *fileName) const;
    bool anyFileExists(const std::vector<std::string> &paths) const;

    std::string root;
    std::string pontilDir;
    std::vector<std::string> systemDirs;
    bool redirected = false;
};
