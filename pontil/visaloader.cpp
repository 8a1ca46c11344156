#include "visaloader.h"

#include "pontil.h"
#include "visalibrarylocator.h"

#include <atomic>
#include <dlfcn.h>

#ifndef PONTIL_USE_DEEPBIND
#define PONTIL_USE_DEEPBIND 1
#endif

namespace {

constexpr int kSlotCount = static_cast<int>(VisaSlot::count);

const char *const kSlotNames[] = {
#define PONTIL_SLOT_NAME(result, name, parameters, arguments) #name,
        PONTIL_VISA_FUNCTIONS(PONTIL_SLOT_NAME)
#undef PONTIL_SLOT_NAME
};
static_assert(sizeof(kSlotNames) / sizeof(kSlotNames[0]) == kSlotCount, "one name per slot");

// Marks a slot whose function the implementation lacks, so it is looked up only once.
char missingFunction;

// One opened implementation and its lazily filled slots. After an unload it is kept (not
// freed) so that a call still in flight never touches freed memory; its code, however, is
// gone with the library.
struct LoadedImplementation
{
    explicit LoadedImplementation(void *libraryHandle)
        : handle(libraryHandle)
    {
        for (std::atomic<void *> &slot : slots)
            slot.store(nullptr, std::memory_order_relaxed);
    }

    void *const handle;
    std::atomic<void *> slots[kSlotCount];
    LoadedImplementation *nextRetired = nullptr;
};

// Owns the implementations released by unload until the process ends.
struct RetiredImplementations
{
    ~RetiredImplementations()
    {
        LoadedImplementation *entry = head.exchange(nullptr);
        while (entry) {
            LoadedImplementation *next = entry->nextRetired;
            delete entry;
            entry = next;
        }
    }

    void add(LoadedImplementation *entry)
    {
        entry->nextRetired = head.load(std::memory_order_relaxed);
        while (!head.compare_exchange_weak(entry->nextRetired, entry, std::memory_order_release,
                                           std::memory_order_relaxed)) {
        }
    }

    std::atomic<LoadedImplementation *> head{nullptr};
};

std::atomic<uint16_t> defaultLibraryCode{KXVI_LIBRARY_DEFAULT};
// The loaded implementation; its owner while loaded. Implementations are never released
// implicitly, so the last one stays open until the process ends.
std::atomic<LoadedImplementation *> current{nullptr};
RetiredImplementations retired;

int openFlags()
{
    // DEEPBIND keeps an implementation that calls its own vi... functions inside itself
    // instead of landing back in Pontil; sanitizer runtimes refuse it.
    return RTLD_NOW | RTLD_LOCAL | (PONTIL_USE_DEEPBIND ? RTLD_DEEPBIND : 0);
}

void *openImplementation()
{
    const VisaLibraryLocator locator(VisaLoader::pontilDirectory());
    for (const std::string &candidate : locator.loadCandidates(defaultLibraryCode.load())) {
        if (void *handle = dlopen(candidate.c_str(), openFlags()))
            return handle;
    }
    return nullptr;
}

LoadedImplementation *loadedImplementation()
{
    LoadedImplementation *implementation = current.load(std::memory_order_acquire);
    if (implementation)
        return implementation;
    void *handle = openImplementation();
    if (!handle)
        return nullptr;
    auto *fresh = new LoadedImplementation(handle);
    LoadedImplementation *expected = nullptr;
    if (current.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel))
        return fresh;
    // Another thread published first: use its implementation and drop the reference taken here.
    dlclose(fresh->handle);
    delete fresh;
    return expected;
}

void anchor() {}

}  // namespace

bool VisaLoader::setDefaultCode(uint16_t code)
{
    if (!VisaLibraryLocator::isKnownCode(code))
        return false;
    defaultLibraryCode.store(code);
    return true;
}

uint16_t VisaLoader::defaultCode()
{
    return defaultLibraryCode.load();
}

VisaTarget VisaLoader::resolve(VisaSlot slot)
{
    LoadedImplementation *implementation = loadedImplementation();
    if (!implementation)
        return {nullptr, VI_ERROR_LIBRARY_NFOUND};
    std::atomic<void *> &entry = implementation->slots[static_cast<int>(slot)];
    void *function = entry.load(std::memory_order_acquire);
    if (!function) {
        function = dlsym(implementation->handle, slotName(slot));
        if (!function)
            function = &missingFunction;
        entry.store(function, std::memory_order_release);
    }
    if (function == &missingFunction)
        return {nullptr, VI_ERROR_NSUP_OPER};
    return {function, VI_SUCCESS};
}

bool VisaLoader::unload()
{
    LoadedImplementation *implementation = current.exchange(nullptr, std::memory_order_acq_rel);
    if (!implementation)
        return false;
    dlclose(implementation->handle);
    retired.add(implementation);
    return true;
}

std::string VisaLoader::pontilDirectory()
{
    Dl_info info;
    if (!dladdr(reinterpret_cast<void *>(&anchor), &info) || !info.dli_fname)
        return std::string();
    const std::string path = info.dli_fname;
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

const char *VisaLoader::slotName(VisaSlot slot)
{
    return kSlotNames[static_cast<int>(slot)];
}
