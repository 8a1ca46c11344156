/* A stand-in VISA implementation that plays a scripted instrument for the session-layer
 * tests. Replies are queued whole. In message mode each reply ends with END, like a
 * VXI-11 or GPIB instrument: a read stops at the end of the reply with VI_SUCCESS. In
 * stream mode, like a raw socket, there is no END: a read ends only when its count is
 * reached and otherwise times out. Every request is logged for the test to inspect. */

#define _GNU_SOURCE
#include "pontil.h"

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define SCRIPT_EXPORT __attribute__((visibility("default")))
#define SESSION_RM 0x1000u
#define SESSION_INSTRUMENT 0x2000u
#define MAX_BYTES (1u << 20)

static unsigned char pending[MAX_BYTES];
static unsigned pendingLength;
static unsigned pendingEnds[64];
static unsigned pendingEndCount;
static int streamMode;
static ViBoolean termCharEnabled;

static char written[4096];
static unsigned writtenLength;
static unsigned readRequests[64];
static unsigned readRequestCount;
static unsigned fileRequest;
static char lastFile[4096];
static int renMode = -1;
static ViAttrState timeoutValue;
static char openedResource[256];
static unsigned openTimeout;
static unsigned openMode = 99;
static char closedLog[256]; /* every session closed, in order: "rm " or "instr " */

static void anchor(void) {}

SCRIPT_EXPORT void scriptReset(int stream)
{
    pendingLength = pendingEndCount = writtenLength = readRequestCount = fileRequest = 0;
    written[0] = lastFile[0] = openedResource[0] = closedLog[0] = '\0';
    renMode = -1;
    timeoutValue = 0;
    openTimeout = 0;
    openMode = 99;
    termCharEnabled = VI_FALSE;
    streamMode = stream;
}

SCRIPT_EXPORT void scriptReply(const void *bytes, unsigned length)
{
    if (pendingLength + length > MAX_BYTES || pendingEndCount == 64)
        abort();
    memcpy(pending + pendingLength, bytes, length);
    pendingLength += length;
    pendingEnds[pendingEndCount++] = pendingLength;
}

/* What the test reads back. */
#define SCRIPT_GETTER(type, name, value) \
    SCRIPT_EXPORT type name(void) \
    { \
        return value; \
    }
SCRIPT_GETTER(const char *, scriptWritten, written)
SCRIPT_GETTER(unsigned, scriptReadRequestCount, readRequestCount)
SCRIPT_GETTER(unsigned, scriptFileRequest, fileRequest)
SCRIPT_GETTER(const char *, scriptLastFile, lastFile)
SCRIPT_GETTER(int, scriptRenMode, renMode)
SCRIPT_GETTER(ViAttrState, scriptTimeout, timeoutValue)
SCRIPT_GETTER(const char *, scriptOpenedResource, openedResource)
SCRIPT_GETTER(unsigned, scriptOpenTimeout, openTimeout)
SCRIPT_GETTER(unsigned, scriptOpenMode, openMode)
SCRIPT_GETTER(unsigned, scriptPendingBytes, pendingLength)
SCRIPT_GETTER(int, scriptTermCharEnabled, termCharEnabled)
SCRIPT_GETTER(const char *, scriptClosed, closedLog)

SCRIPT_EXPORT unsigned scriptReadRequest(unsigned index)
{
    return index < readRequestCount ? readRequests[index] : 0;
}

/* Takes up to count bytes; returns the VISA status of a read that got them. */
static ViStatus take(unsigned char *out, ViUInt32 count, ViUInt32 *got)
{
    unsigned limit = pendingLength;
    if (!streamMode && pendingEndCount > 0)
        limit = pendingEnds[0];
    unsigned n = count < limit ? count : limit;
    int terminated = 0;
    if (termCharEnabled) {
        const unsigned char *hit = memchr(pending, '\n', n);
        if (hit) {
            n = (unsigned)(hit - pending) + 1;
            terminated = 1;
        }
    }
    memcpy(out, pending, n);
    memmove(pending, pending + n, pendingLength - n);
    pendingLength -= n;
    for (unsigned i = 0; i < pendingEndCount; ++i)
        pendingEnds[i] -= n;
    while (pendingEndCount > 0 && pendingEnds[0] == 0) {
        memmove(pendingEnds, pendingEnds + 1, (pendingEndCount - 1) * sizeof pendingEnds[0]);
        --pendingEndCount;
    }
    *got = n;
    if (terminated)
        return VI_SUCCESS_TERM_CHAR;
    if (n == count && (streamMode || n < limit))
        return VI_SUCCESS_MAX_CNT;
    if (!streamMode && n == limit && n > 0)
        return VI_SUCCESS;
    return VI_ERROR_TMO;
}

ViStatus viOpenDefaultRM(ViPSession vi)
{
    *vi = SESSION_RM;
    return VI_SUCCESS;
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi)
{
    if (sesn != SESSION_RM)
        return VI_ERROR_INV_OBJECT;
    snprintf(openedResource, sizeof openedResource, "%s", name);
    openTimeout = timeout;
    openMode = mode;
    *vi = SESSION_INSTRUMENT;
    return VI_SUCCESS;
}

ViStatus viClose(ViObject vi)
{
    if ((vi == SESSION_RM || vi == SESSION_INSTRUMENT) && strlen(closedLog) + 8 < sizeof closedLog)
        strcat(closedLog, vi == SESSION_RM ? "rm " : "instr ");
    return vi == SESSION_RM || vi == SESSION_INSTRUMENT ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}

ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[])
{
    (void)vi;
    (void)status;
    Dl_info info;
    const char *path = dladdr((void *)&anchor, &info) && info.dli_fname ? info.dli_fname : "?";
    snprintf(desc, VI_FIND_BUFLEN, "scripted:%s", path);
    return VI_SUCCESS;
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    if (vi != SESSION_INSTRUMENT)
        return VI_ERROR_INV_OBJECT;
    if (writtenLength + cnt >= sizeof written)
        return VI_ERROR_IO;
    memcpy(written + writtenLength, buf, cnt);
    writtenLength += cnt;
    written[writtenLength] = '\0';
    if (retCnt)
        *retCnt = cnt;
    return VI_SUCCESS;
}

ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    if (vi != SESSION_INSTRUMENT)
        return VI_ERROR_INV_OBJECT;
    if (readRequestCount < 64)
        readRequests[readRequestCount++] = cnt;
    ViUInt32 got = 0;
    const ViStatus status = take(buf, cnt, &got);
    if (retCnt)
        *retCnt = got;
    return status;
}

ViStatus viReadToFile(ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt)
{
    if (vi != SESSION_INSTRUMENT)
        return VI_ERROR_INV_OBJECT;
    fileRequest = cnt;
    snprintf(lastFile, sizeof lastFile, "%s", filename);
    FILE *file = fopen(filename, "wb");
    if (!file)
        return VI_ERROR_IO;
    unsigned char *bytes = malloc(cnt ? cnt : 1);
    ViUInt32 got = 0;
    const ViStatus status = take(bytes, cnt, &got);
    fwrite(bytes, 1, got, file);
    fclose(file);
    free(bytes);
    if (retCnt)
        *retCnt = got;
    return status;
}

ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue)
{
    if (vi != SESSION_INSTRUMENT)
        return VI_ERROR_INV_OBJECT;
    if (attrName == VI_ATTR_TMO_VALUE)
        timeoutValue = attrValue;
    else if (attrName == VI_ATTR_TERMCHAR_EN)
        termCharEnabled = attrValue != 0;
    else
        return VI_ERROR_NSUP_ATTR;
    return VI_SUCCESS;
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue)
{
    if (vi != SESSION_INSTRUMENT)
        return VI_ERROR_INV_OBJECT;
    if (attrName != VI_ATTR_TERMCHAR_EN)
        return VI_ERROR_NSUP_ATTR;
    *(ViBoolean *)attrValue = termCharEnabled;
    return VI_SUCCESS;
}

ViStatus viGpibControlREN(ViSession vi, ViUInt16 mode)
{
    if (vi != SESSION_INSTRUMENT)
        return VI_ERROR_INV_OBJECT;
    renMode = mode;
    return VI_SUCCESS;
}
