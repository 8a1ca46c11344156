#pragma once

/* Pontil: the standard VISA C interface, forwarded at run time to one installed VISA
 * implementation. Link against libpontil.so instead of a VISA library; before the first
 * vi... call, ask KxViIsVisaLibraryInstalled which implementations exist and pick one with
 * KxViSetDefaultLibrary. See docs/visa.md for where each library code is looked for.
 *
 * When no implementation can be loaded every vi... call returns VI_ERROR_LIBRARY_NFOUND;
 * when the loaded one lacks a function, that call returns VI_ERROR_NSUP_OPER. The six
 * functions without a result (viPeek... and viPoke...) then do nothing. */

#include "visadefs.h"
#include "visafunctionlist.h"

#define PONTIL_EXPORT __attribute__((visibility("default")))

/* Library codes: the implementations' maker identifiers, 0xFFFF for the system default. */
#define KXVI_LIBRARY_NI 0x0FF6
#define KXVI_LIBRARY_KEYSIGHT 0x0FFF
#define KXVI_LIBRARY_KXVISA 0x0FAF
#define KXVI_LIBRARY_DEFAULT 0xFFFF

#ifdef __cplusplus
extern "C" {
#endif

/* Chooses the implementation the next load uses; 1 for a known code, else 0 (no change). */
PONTIL_EXPORT int32_t KxViSetDefaultLibrary(uint16_t libraryCode);
/* Releases the loaded implementation; 1 if one was loaded, else 0. Sessions opened through
 * it are not closed: close them first. The next vi... call loads again. */
PONTIL_EXPORT int32_t KxViUnloadVisaLibrary(void);
/* 1 when the implementation of that code is installed, else 0. */
PONTIL_EXPORT int32_t KxViIsVisaLibraryInstalled(uint16_t libraryCode);

#define PONTIL_DECLARE(result, name, parameters, arguments) PONTIL_EXPORT result name parameters;
PONTIL_VISA_FUNCTIONS(PONTIL_DECLARE)
#undef PONTIL_DECLARE

PONTIL_EXPORT ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...);
PONTIL_EXPORT ViStatus viScanf(ViSession vi, ViConstString readFmt, ...);
PONTIL_EXPORT ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...);
PONTIL_EXPORT ViStatus viSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, ...);
PONTIL_EXPORT ViStatus viSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, ...);

#ifdef __cplusplus
}
#endif
