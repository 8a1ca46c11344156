// The three loader functions beside the VISA interface.

#include "pontil.h"
#include "visalibrarylocator.h"
#include "visaloader.h"

extern "C" int32_t KxViSetDefaultLibrary(uint16_t libraryCode)
{
    return VisaLoader::setDefaultCode(libraryCode) ? 1 : 0;
}

extern "C" int32_t KxViUnloadVisaLibrary(void)
{
    return VisaLoader::unload() ? 1 : 0;
}

extern "C" int32_t KxViIsVisaLibraryInstalled(uint16_t libraryCode)
{
    return VisaLibraryLocator(VisaLoader::pontilDirectory()).isInstalled(libraryCode) ? 1 : 0;
}
