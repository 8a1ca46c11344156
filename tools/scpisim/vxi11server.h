#pragma once

#include "instrument.h"
#include "rpcserver.h"

#include <map>
#include <memory>
#include <string>

namespace scpisim {

struct Vxi11Config
{
    std::string address = "127.0.0.1";
    uint16_t portmapperPort = 111;
    uint16_t corePort = 0;
    uint32_t maxReceiveSize = 1024;    // what create_link announces: the largest device_write
    uint32_t maxReadChunk = 1u << 20;  // the most one device_read returns
};

// A VXI-11 instrument server: its own portmapper (TCP and UDP) that points at the core
// channel, the core channel itself and an abort channel that accepts device_abort.
class Vxi11Server
{
public:
    Vxi11Server(Instrument &instrument, const Vxi11Config &config)
        : instrument_(instrument)
        , config_(config)
    {}
    // False (errno set) when a port cannot be opened, e.g. 111 without privileges.
    bool start();
    uint16_t corePort() const { return corePort_; }
    uint16_t portmapperPort() const { return portmapperPort_; }

private:
    struct Link
    {
        std::string device;
        std::string origin;
        std::string input;
        std::shared_ptr<Response> output;
    };
    struct Connection;

    void portmapperTcp(int listener);
    void portmapperUdp(int fd);
    std::vector<uint8_t> portmapperReply(const RpcCall &call) const;
    void abortLoop(int listener);
    void coreLoop(int listener);
    void serveCore(int fd, int id);
    bool handleCore(Connection &c, const RpcCall &call);
    std::vector<uint8_t> createLink(Connection &c, const RpcCall &call);
    std::vector<uint8_t> deviceWrite(Connection &c, const RpcCall &call);
    bool deviceRead(Connection &c, const RpcCall &call);
    std::vector<uint8_t> generic(Connection &c, const RpcCall &call);

    Instrument &instrument_;
    Vxi11Config config_;
    uint16_t corePort_ = 0;
    uint16_t abortPort_ = 0;
    uint16_t portmapperPort_ = 0;
};

}  // namespace scpisim
