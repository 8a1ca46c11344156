#include "session.h"

#include "attributevalue.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace kxvisa {
namespace {

constexpr size_t kFileChunk = 1u << 20;

bool booleanValue(ViAttrState v, bool &out)
{
    if (v > 1)
        return false;
    out = v == 1;
    return true;
}

struct FileCloser
{
    void operator()(std::FILE *f) const { std::fclose(f); }
};

}  // namespace

IoAttributes Session::attributes() const
{
    std::lock_guard<std::mutex> lock(attributeMutex_);
    return attributes_;
}

ViStatus Session::setAttribute(ViAttr attribute, ViAttrState value)
{
    std::lock_guard<std::mutex> lock(attributeMutex_);
    IoAttributes a = attributes_;
    bool valid = true;
    switch (attribute) {
    case VI_ATTR_TMO_VALUE:
        valid = value <= 0xFFFFFFFFu;
        a.timeoutMs = uint32_t(value);
        break;
    case VI_ATTR_TERMCHAR:
        valid = value <= 0xFF;
        a.termChar = uint8_t(value);
        break;
    case VI_ATTR_TERMCHAR_EN: valid = booleanValue(value, a.termCharEnabled); break;
    case VI_ATTR_SEND_END_EN: valid = booleanValue(value, a.sendEnd); break;
    case VI_ATTR_SUPPRESS_END_EN: valid = booleanValue(value, a.suppressEnd); break;
    case VI_ATTR_FILE_APPEND_EN: valid = booleanValue(value, a.fileAppend); break;
    case VI_ATTR_TCPIP_NODELAY: valid = booleanValue(value, a.noDelay); break;
    case VI_ATTR_TCPIP_KEEPALIVE: valid = booleanValue(value, a.keepAlive); break;
    case VI_ATTR_IO_PROT: valid = value == VI_PROT_NORMAL; break;
    case VI_ATTR_RSRC_MANF_ID:
    case VI_ATTR_RSRC_MANF_NAME:
    case VI_ATTR_RSRC_NAME:
    case VI_ATTR_RSRC_CLASS:
    case VI_ATTR_RSRC_SPEC_VERSION:
    case VI_ATTR_RSRC_IMPL_VERSION:
    case VI_ATTR_INTF_TYPE:
    case VI_ATTR_INTF_NUM:
    case VI_ATTR_TCPIP_ADDR:
    case VI_ATTR_TCPIP_HOSTNAME:
    case VI_ATTR_TCPIP_PORT:
    case VI_ATTR_TCPIP_DEVICE_NAME:
    case VI_ATTR_RM_SESSION: return VI_ERROR_ATTR_READONLY;
    default: return VI_ERROR_NSUP_ATTR;
    }
    if (!valid)
        return VI_ERROR_NSUP_ATTR_STATE;
    if (a.noDelay != attributes_.noDelay || a.keepAlive != attributes_.keepAlive)
        applySocketOptions(a);
    attributes_ = a;
    return VI_SUCCESS;
}

ViStatus Session::getAttribute(ViAttr attribute, void *value) const
{
    const IoAttributes a = attributes();
    const bool socket = resource_.kind == ResourceKind::Socket;
    switch (attribute) {
    case VI_ATTR_TMO_VALUE: return storeAttribute<ViUInt32>(value, a.timeoutMs);
    case VI_ATTR_TERMCHAR: return storeAttribute<ViUInt8>(value, a.termChar);
    case VI_ATTR_TERMCHAR_EN: return storeAttribute<ViBoolean>(value, a.termCharEnabled);
    case VI_ATTR_SEND_END_EN: return storeAttribute<ViBoolean>(value, a.sendEnd);
    case VI_ATTR_SUPPRESS_END_EN: return storeAttribute<ViBoolean>(value, a.suppressEnd);
    case VI_ATTR_FILE_APPEND_EN: return storeAttribute<ViBoolean>(value, a.fileAppend);
    case VI_ATTR_TCPIP_NODELAY: return storeAttribute<ViBoolean>(value, a.noDelay);
    case VI_ATTR_TCPIP_KEEPALIVE: return storeAttribute<ViBoolean>(value, a.keepAlive);
    case VI_ATTR_IO_PROT: return storeAttribute<ViUInt16>(value, VI_PROT_NORMAL);
    case VI_ATTR_RSRC_MANF_ID: return storeAttribute<ViUInt16>(value, kManufacturerId);
    case VI_ATTR_RSRC_MANF_NAME: return storeAttributeText(value, kManufacturerName);
    case VI_ATTR_RSRC_NAME: return storeAttributeText(value, resource_.canonical());
    case VI_ATTR_RSRC_CLASS: return storeAttributeText(value, resource_.className());
    case VI_ATTR_RSRC_SPEC_VERSION: return storeAttribute<ViVersion>(value, VI_SPEC_VERSION);
    case VI_ATTR_RSRC_IMPL_VERSION: return storeAttribute<ViVersion>(value, kImplementationVersion);
    case VI_ATTR_INTF_TYPE: return storeAttribute<ViUInt16>(value, VI_INTF_TCPIP);
    case VI_ATTR_INTF_NUM: return storeAttribute<ViUInt16>(value, resource_.board);
    case VI_ATTR_TCPIP_ADDR: return storeAttributeText(value, peerAddress());
    case VI_ATTR_TCPIP_HOSTNAME: return storeAttributeText(value, resource_.host);
    case VI_ATTR_RM_SESSION: return storeAttribute<ViSession>(value, resourceManager_);
    case VI_ATTR_TCPIP_PORT:
        return socket ? storeAttribute<ViUInt16>(value, resource_.port) : VI_ERROR_NSUP_ATTR;
    case VI_ATTR_TCPIP_DEVICE_NAME:
        return socket ? VI_ERROR_NSUP_ATTR : storeAttributeText(value, resource_.device);
    default: return VI_ERROR_NSUP_ATTR;
    }
}

// The block goes to the file in chunks, so a reply of any size needs little memory. Every
// chunk gets the full timeout: a slow but steady transfer of a large block is not an error.
ViStatus Session::readToFile(const char *path, uint32_t count, uint32_t &got)
{
    got = 0;
    const IoAttributes a = attributes();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, a.fileAppend ? "ab" : "wb"));
    if (!file)
        return VI_ERROR_FILE_ACCESS;
    std::vector<uint8_t> buffer(count < kFileChunk ? count : kFileChunk);
    ViStatus status = VI_SUCCESS_MAX_CNT;
    while (got < count && status == VI_SUCCESS_MAX_CNT) {
        const size_t want = count - got < buffer.size() ? count - got : buffer.size();
        size_t n = 0;
        status = read(buffer.data(), want, n, Deadline::fromTimeoutMs(a.timeoutMs));
        if (n > 0 && std::fwrite(buffer.data(), 1, n, file.get()) != n)
            return VI_ERROR_FILE_IO;
        got += uint32_t(n);
    }
    if (std::fflush(file.get()) != 0)
        return VI_ERROR_FILE_IO;
    return status;
}

}  // namespace kxvisa
