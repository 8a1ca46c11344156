// The VISA functions this library implements. Every function checks its handles and
// pointers, takes shared ownership of the session and holds its I/O lock for the call.
#include "visa.h"

#include "attributevalue.h"
#include "resourcename.h"
#include "sessiontable.h"
#include "socketsession.h"
#include "statusdescription.h"
#include "vxi11session.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

using namespace kxvisa;

namespace {

// A zero open timeout is what most callers pass when they do not care; it gets the
// default I/O timeout instead of failing every connection at once.
constexpr ViUInt32 kDefaultOpenTimeoutMs = 2000;

template<typename Fn>
ViStatus withSession(ViSession vi, Fn fn)
{
    const std::shared_ptr<Session> s = SessionTable::instance().find(vi);
    if (!s)
        return VI_ERROR_INV_OBJECT;
    std::lock_guard<std::mutex> io(s->ioMutex());
    return fn(*s);
}

// A transfer that reports how many bytes it moved: the count reads 0 unless the session
// reports one, also when the arguments are refused or the session is unknown.
template<typename Count, typename Fn>
ViStatus countedTransfer(ViSession vi, bool argumentsOk, ViPUInt32 retCnt, Fn fn)
{
    if (retCnt)
        *retCnt = 0;
    if (!argumentsOk)
        return VI_ERROR_INV_PARAMETER;
    return withSession(vi, [&](Session &s) {
        Count done = 0;
        const ViStatus status = fn(s, done);
        if (retCnt)
            *retCnt = ViUInt32(done);
        return status;
    });
}

Deadline ioDeadline(const Session &s)
{
    return Deadline::fromTimeoutMs(s.attributes().timeoutMs);
}

ViStatus openSession(ViSession rm, const ResourceName &r, ViAccessMode mode, ViUInt32 timeout,
                     std::unique_ptr<Session> &out)
{
    const Deadline deadline
            = Deadline::fromTimeoutMs(timeout == 0 ? kDefaultOpenTimeoutMs : timeout);
    switch (r.kind) {
    case ResourceKind::Socket: return SocketSession::open(r, rm, deadline, out);
    case ResourceKind::Vxi11Instr:
        return Vxi11Session::open(r, rm, (mode & VI_EXCLUSIVE_LOCK) != 0, deadline, out);
    case ResourceKind::HislipInstr: break;
    }
    return VI_ERROR_NSUP_OPER;
}

ViStatus resourceManagerAttribute(ViAttr attribute, void *value)
{
    switch (attribute) {
    case VI_ATTR_RSRC_MANF_ID: return storeAttribute<ViUInt16>(value, kManufacturerId);
    case VI_ATTR_RSRC_MANF_NAME: return storeAttributeText(value, kManufacturerName);
    case VI_ATTR_RSRC_SPEC_VERSION: return storeAttribute<ViVersion>(value, VI_SPEC_VERSION);
    case VI_ATTR_RSRC_IMPL_VERSION: return storeAttribute<ViVersion>(value, kImplementationVersion);
    default: return VI_ERROR_NSUP_ATTR;
    }
}

}  // namespace

extern "C" {

ViStatus viOpenDefaultRM(ViPSession vi)
{
    if (!vi)
        return VI_ERROR_INV_PARAMETER;
    *vi = SessionTable::instance().openResourceManager();
    return VI_SUCCESS;
}

ViStatus viGetDefaultRM(ViPSession vi)
{
    return viOpenDefaultRM(vi);
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi)
{
    if (!vi)
        return VI_ERROR_INV_PARAMETER;
    *vi = VI_NULL;
    if (!SessionTable::instance().isResourceManager(sesn))
        return VI_ERROR_INV_OBJECT;
    if (!name)
        return VI_ERROR_INV_RSRC_NAME;
    if (mode & ~ViAccessMode(VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK | VI_LOAD_CONFIG))
        return VI_ERROR_INV_ACC_MODE;
    ResourceName r;
    ViStatus s = parseResourceName(name, r);
    if (s != VI_SUCCESS)
        return s;
    std::unique_ptr<Session> session;
    s = openSession(sesn, r, mode, timeout, session);
    if (s != VI_SUCCESS)
        return s;
    std::shared_ptr<Session> shared(std::move(session));
    *vi = SessionTable::instance().add(sesn, shared);
    if (*vi == VI_NULL) {  // the resource manager was closed meanwhile
        shared->close();
        return VI_ERROR_INV_OBJECT;
    }
    return VI_SUCCESS;
}

ViStatus viClose(ViObject vi)
{
    if (vi == VI_NULL)
        return VI_WARN_NULL_OBJECT;
    return SessionTable::instance().close(vi);
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    return countedTransfer<size_t>(vi, buf || !cnt, retCnt, [&](Session &s, size_t &done) {
        return s.write(buf, cnt, done, ioDeadline(s));
    });
}

ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    return countedTransfer<size_t>(vi, buf || !cnt, retCnt, [&](Session &s, size_t &got) {
        return s.read(buf, cnt, got, ioDeadline(s));
    });
}

ViStatus viReadToFile(ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt)
{
    return countedTransfer<ViUInt32>(
            vi, filename != nullptr, retCnt,
            [&](Session &s, ViUInt32 &got) { return s.readToFile(filename, cnt, got); });
}

ViStatus viClear(ViSession vi)
{
    return withSession(vi, [](Session &s) { return s.clear(ioDeadline(s)); });
}

ViStatus viGpibControlREN(ViSession vi, ViUInt16 mode)
{
    return withSession(vi, [mode](Session &s) { return s.controlRen(mode, ioDeadline(s)); });
}

ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue)
{
    if (SessionTable::instance().isResourceManager(vi)) {
        ViUInt64 scratch[32];
        return resourceManagerAttribute(attrName, scratch) == VI_SUCCESS ? VI_ERROR_ATTR_READONLY
                                                                         : VI_ERROR_NSUP_ATTR;
    }
    const std::shared_ptr<Session> s = SessionTable::instance().find(vi);
    return s ? s->setAttribute(attrName, attrValue) : VI_ERROR_INV_OBJECT;
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue)
{
    if (!attrValue)
        return VI_ERROR_INV_PARAMETER;
    if (SessionTable::instance().isResourceManager(vi))
        return resourceManagerAttribute(attrName, attrValue);
    const std::shared_ptr<Session> s = SessionTable::instance().find(vi);
    return s ? s->getAttribute(attrName, attrValue) : VI_ERROR_INV_OBJECT;
}

ViStatus viStatusDesc(ViObject, ViStatus status, ViChar desc[])
{
    if (!desc)
        return VI_ERROR_INV_PARAMETER;
    if (const char *text = statusDescription(status)) {
        std::snprintf(desc, 256, "%s", text);
        return VI_SUCCESS;
    }
    std::snprintf(desc, 256, "Unknown status code 0x%08X.", unsigned(status));
    return VI_WARN_UNKNOWN_STATUS;
}

ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                       ViPUInt16 intfNum, ViChar rsrcClass[], ViChar expandedUnaliasedName[],
                       ViChar aliasIfExists[])
{
    if (!SessionTable::instance().isResourceManager(rmSesn))
        return VI_ERROR_INV_OBJECT;
    if (!rsrcName)
        return VI_ERROR_INV_RSRC_NAME;
    ResourceName r;
    const ViStatus s = parseResourceName(rsrcName, r);
    if (s != VI_SUCCESS)
        return s;
    if (intfType)
        *intfType = VI_INTF_TCPIP;
    if (intfNum)
        *intfNum = r.board;
    if (rsrcClass)
        storeAttributeText(rsrcClass, r.className());
    if (expandedUnaliasedName)
        storeAttributeText(expandedUnaliasedName, r.canonical());
    if (aliasIfExists)
        aliasIfExists[0] = '\0';
    return VI_SUCCESS;
}

ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType, ViPUInt16 intfNum)
{
    return viParseRsrcEx(rmSesn, rsrcName, intfType, intfNum, nullptr, nullptr, nullptr);
}

}  // extern "C"
