#pragma once

#include "instrument.h"

#include <string>

namespace scpisim {

// The raw SCPI socket: messages end at '\n', replies are written back as they are made.
class SocketServer
{
public:
    explicit SocketServer(Instrument &instrument)
        : instrument_(instrument)
    {}
    // Starts listening; the accept loop runs in a thread of its own.
    bool start(const std::string &address, uint16_t port, uint16_t &boundPort);

private:
    void acceptLoop(int listener);
    void serve(int fd, std::string origin);
    // False when the connection was dropped on purpose.
    bool sendResponse(int fd, Response &response);

    Instrument &instrument_;
};

}  // namespace scpisim
