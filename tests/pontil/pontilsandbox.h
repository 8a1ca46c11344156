#pragma once

#include "pontil.h"

#include <filesystem>
#include <string>

// A private copy of libpontil.so in a temporary tree that stands in for the system: the
// tree's "sys" folder is the system library directory list, "root" the prefix of the
// fixed locations. Each sandbox loads its own copy, so every test starts from a freshly
// loaded library with no implementation chosen or loaded.
class PontilSandbox
{
public:
    enum class Fake { Full, Minimal };
    enum class Scope { Local, Global };

    explicit PontilSandbox(Scope scope = Scope::Local);
    ~PontilSandbox();
    PontilSandbox(const PontilSandbox &) = delete;
    PontilSandbox &operator=(const PontilSandbox &) = delete;

    // Puts a fake implementation at a path inside the tree and returns its full path.
    std::string install(const std::string &relativePath, Fake fake = Fake::Full);
    std::string installGarbage(const std::string &relativePath);
    void makeNiConfiguration();
    std::string path(const std::string &relativePath) const;

    // The file whose implementation serves calls now, or "" with the failure in status.
    std::string servedBy(ViStatus *status = nullptr);
    // True when the file is mapped into the process.
    static bool isLoaded(const std::string &file);

    template<typename Function>
    Function function(const char *name) const
    {
        return reinterpret_cast<Function>(symbol(name));
    }
#define PONTIL_SANDBOX_CALL(name) function<decltype(&::name)>(#name)

    int32_t setDefault(uint16_t code) const;
    int32_t unload() const;
    int32_t installed(uint16_t code) const;

private:
    void *symbol(const char *name) const;

    std::filesystem::path tree;
    void *pontil = nullptr;
};
