/* A stand-in VISA implementation for the loader tests. Every copy reports the file it was
 * loaded from through viStatusDesc, so a test can tell which file served a call. Built
 * twice: in full, and with FAKE_MINIMAL as an implementation that lacks most functions. */

#define _GNU_SOURCE
#include "pontil.h"

#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

static void anchor(void) {}

static const char *ownPath(void)
{
    Dl_info info;
    if (dladdr((void *)&anchor, &info) && info.dli_fname)
        return info.dli_fname;
    return "?";
}

ViStatus viOpenDefaultRM(ViPSession vi)
{
    *vi = 0x1000;
    return VI_SUCCESS;
}

ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[])
{
    (void)vi;
    (void)status;
    snprintf(desc, VI_FIND_BUFLEN, "fakevisa:%s", ownPath());
    return VI_SUCCESS;
}

#ifndef FAKE_MINIMAL

static char lastLine[VI_FIND_BUFLEN];

ViStatus viClose(ViObject vi)
{
    return vi == 0x1000 ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}

/* Identifies itself like an implementation does through its resource manager. */
ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue)
{
    if (vi != 0x1000)
        return VI_ERROR_INV_OBJECT;
    if (attrName == VI_ATTR_RSRC_MANF_NAME) {
        strcpy((char *)attrValue, "Fake Maker");
        return VI_SUCCESS;
    }
    if (attrName == VI_ATTR_RSRC_IMPL_VERSION) {
        *(ViUInt32 *)attrValue = 0x00201003u; /* 2.1.3 */
        return VI_SUCCESS;
    }
    return VI_ERROR_NSUP_ATTR;
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    (void)vi;
    (void)buf;
    if (retCnt)
        *retCnt = cnt;
    return VI_SUCCESS;
}

/* viPrintf and viScanf through this copy meet in one line, like an echoing instrument. */
ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params)
{
    (void)vi;
    vsnprintf(lastLine, sizeof lastLine, writeFmt, params);
    return VI_SUCCESS;
}

ViStatus viVScanf(ViSession vi, ViConstString readFmt, ViVAList arglist)
{
    (void)vi;
    return vsscanf(lastLine, readFmt, arglist) > 0 ? VI_SUCCESS : VI_ERROR_IO;
}

ViStatus viVSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, ViVAList parms)
{
    (void)vi;
    vsnprintf((char *)buf, VI_FIND_BUFLEN, writeFmt, parms);
    return VI_SUCCESS;
}

ViStatus viVSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, ViVAList arglist)
{
    (void)vi;
    return vsscanf((const char *)buf, readFmt, arglist) > 0 ? VI_SUCCESS : VI_ERROR_IO;
}

/* Answers every query with "123 ok". */
ViStatus viVQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ViVAList params)
{
    (void)vi;
    snprintf(lastLine, sizeof lastLine, "%s", writeFmt);
    return vsscanf("123 ok", readFmt, params) > 0 ? VI_SUCCESS : VI_ERROR_IO;
}

void viPeek8(ViSession vi, ViAddr address, ViPUInt8 val8)
{
    (void)vi;
    (void)address;
    *val8 = 0x5A;
}

/* Succeeds only when this copy's own viStatusDesc is the one its calls reach, that is
 * when the loader kept the implementation's references inside itself. */
ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                    ViChar desc[])
{
    (void)sesn;
    (void)expr;
    (void)vi;
    (void)retCnt;
    (void)desc;
    Dl_info info;
    const void *reached = (const void *)&viStatusDesc;
    if (dladdr(reached, &info) && info.dli_fname && strcmp(info.dli_fname, ownPath()) == 0)
        return VI_SUCCESS;
    return VI_ERROR_RSRC_NFOUND;
}

#endif
