#include "pontilsandbox.h"

#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

fs::path makeTree()
{
    std::string pattern = (fs::temp_directory_path() / "pontil-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return pattern;
}

}  // namespace

PontilSandbox::PontilSandbox(Scope scope)
    : tree(makeTree())
{
    fs::create_directories(tree / "sys");
    fs::create_directories(tree / "root");
    fs::create_directories(tree / "pontil");
    setenv("PONTIL_ROOT", (tree / "root").c_str(), 1);
    setenv("PONTIL_LIBRARY_PATH", (tree / "sys").c_str(), 1);
    const fs::path copy = tree / "pontil" / "libpontil.so";
    fs::copy_file(PONTIL_LIBRARY_FILE, copy);
    pontil = dlopen(copy.c_str(), RTLD_NOW | (scope == Scope::Global ? RTLD_GLOBAL : RTLD_LOCAL));
    if (!pontil)
        throw std::runtime_error(dlerror());
}

PontilSandbox::~PontilSandbox()
{
    unload();
    dlclose(pontil);
    unsetenv("PONTIL_ROOT");
    unsetenv("PONTIL_LIBRARY_PATH");
    std::error_code ignored;
    fs::remove_all(tree, ignored);
}

std::string PontilSandbox::path(const std::string &relativePath) const
{
    return (tree / relativePath).string();
}

std::string PontilSandbox::install(const std::string &relativePath, Fake fake)
{
    const fs::path target = tree / relativePath;
    fs::create_directories(target.parent_path());
    fs::copy_file(fake == Fake::Full ? FAKE_VISA_FULL : FAKE_VISA_MINIMAL, target,
                  fs::copy_options::overwrite_existing);
    return target.string();
}

std::string PontilSandbox::installGarbage(const std::string &relativePath)
{
    const fs::path target = tree / relativePath;
    fs::create_directories(target.parent_path());
    std::ofstream(target) << "not a shared library\n";
    return target.string();
}

void PontilSandbox::makeNiConfiguration()
{
    fs::create_directories(tree / "root/etc/natinst/nivisa");
}

std::string PontilSandbox::servedBy(ViStatus *status)
{
    ViChar text[VI_FIND_BUFLEN] = {};
    const ViStatus result = PONTIL_SANDBOX_CALL(viStatusDesc)(0, 0, text);
    if (status)
        *status = result;
    const std::string reply = text;
    const std::string prefix = "fakevisa:";
    return result == VI_SUCCESS && reply.rfind(prefix, 0) == 0 ? reply.substr(prefix.size())
                                                               : std::string();
}

bool PontilSandbox::isLoaded(const std::string &file)
{
    void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

void *PontilSandbox::symbol(const char *name) const
{
    void *found = dlsym(pontil, name);
    if (!found)
        throw std::runtime_error(std::string("libpontil.so lacks ") + name);
    return found;
}

int32_t PontilSandbox::setDefault(uint16_t code) const
{
    return PONTIL_SANDBOX_CALL(KxViSetDefaultLibrary)(code);
}

int32_t PontilSandbox::unload() const
{
    return PONTIL_SANDBOX_CALL(KxViUnloadVisaLibrary)();
}

int32_t PontilSandbox::installed(uint16_t code) const
{
    return PONTIL_SANDBOX_CALL(KxViIsVisaLibraryInstalled)(code);
}
