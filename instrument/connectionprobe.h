#pragma once

#include <QString>

#include <cstdint>

// Where a LAN resource string points: "TCPIP[board]::host::port::SOCKET" is host:port;
// "TCPIP[board]::host[::device][::INSTR]" is the host's VXI-11 port mapper (111), or its
// HiSLIP port (4880) for a "hislip" device. IPv6 hosts come in brackets.
struct LanEndpoint
{
    QString host;
    uint16_t port = 0;
};

// False for anything but a LAN resource (GPIB, USB, ...) or a string that names no host.
bool lanEndpoint(const QString &resource, LanEndpoint &endpoint);

// What a direct TCP connection attempt to the endpoint gives, in words: "connection refused
// by 127.0.0.1:5025", "no answer from 10.0.0.7:5025 within 2000 ms", "host nowhere not
// found", or "127.0.0.1:5025 accepts connections". Tells the user why an instrument session
// could not be opened when the VISA status alone cannot.
QString probeConnection(const LanEndpoint &endpoint, int timeoutMs = 2000);
