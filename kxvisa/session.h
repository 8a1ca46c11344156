#pragma once

#include "deadline.h"
#include "resourcename.h"
#include "visa.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace kxvisa {

// The attributes that shape basic I/O, with their VISA defaults.
struct IoAttributes
{
    uint32_t timeoutMs = 2000;
    uint8_t termChar = '\n';
    bool termCharEnabled = false;
    bool sendEnd = true;
    bool suppressEnd = false;
    bool fileAppend = false;
    bool noDelay = true;
    bool keepAlive = false;
};

// One open instrument session. I/O calls are serialised by ioMutex(); attributes may be
// read and changed while an I/O call is blocked in another thread.
class Session
{
public:
    Session(const ResourceName &resource, ViSession resourceManager)
        : resource_(resource)
        , resourceManager_(resourceManager)
    {}
    virtual ~Session() = default;
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    virtual ViStatus write(const uint8_t *data, size_t size, size_t &done, Deadline deadline) = 0;
    virtual ViStatus read(uint8_t *data, size_t size, size_t &got, Deadline deadline) = 0;
    virtual ViStatus clear(Deadline deadline) = 0;
    virtual ViStatus controlRen(uint16_t mode, Deadline deadline) = 0;
    // Ends the link politely; called with ioMutex() held.
    virtual void close() = 0;
    // Makes a blocked call in another thread return at once.
    virtual void interrupt() = 0;

    ViStatus readToFile(const char *path, uint32_t count, uint32_t &got);
    ViStatus setAttribute(ViAttr attribute, ViAttrState value);
    ViStatus getAttribute(ViAttr attribute, void *value) const;

    IoAttributes attributes() const;
    std::mutex &ioMutex() { return ioMutex_; }
    const ResourceName &resource() const { return resource_; }

protected:
    virtual std::string peerAddress() const = 0;
    virtual void applySocketOptions(const IoAttributes &) {}
    // True when a read that stopped ends with the enabled termination character.
    static bool endsWithTermChar(const IoAttributes &a, const uint8_t *data, size_t got)
    {
        return a.termCharEnabled && got > 0 && data[got - 1] == a.termChar;
    }

private:
    ResourceName resource_;
    ViSession resourceManager_;
    mutable std::mutex attributeMutex_;
    IoAttributes attributes_;
    std::mutex ioMutex_;
};

}  // namespace kxvisa
