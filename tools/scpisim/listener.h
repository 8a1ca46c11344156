#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace scpisim {

// Opens a listening (TCP) or bound (UDP) socket on address:port; port 0 picks a free one.
// Returns the descriptor or -1 with errno set; boundPort receives the actual port.
int openListener(const std::string &address, uint16_t port, bool udp, uint16_t &boundPort);

// Accepts connections on listener for as long as the process runs and serves each on a thread
// of its own: serve(fd, id), with ids counting from 1. Nagle's delay is off on every
// connection, as the servers answer in small messages that would otherwise wait.
void acceptForever(int listener, const std::function<void(int fd, int id)> &serve);

// Blocking helpers for the server threads; false when the peer has gone.
bool sendAll(int fd, const uint8_t *data, size_t size);
bool receiveExactly(int fd, uint8_t *data, size_t size);

}  // namespace scpisim
