#pragma once

#include <cstdint>
#include <string>

namespace scpisim {

// Opens a listening (TCP) or bound (UDP) socket on address:port; port 0 picks a free one.
// Returns the descriptor or -1 with errno set; boundPort receives the actual port.
int openListener(const std::string &address, uint16_t port, bool udp, uint16_t &boundPort);

// Blocking helpers for the server threads; false when the peer has gone.
bool sendAll(int fd, const uint8_t *data, size_t size);
bool receiveExactly(int fd, uint8_t *data, size_t size);

}  // namespace scpisim
