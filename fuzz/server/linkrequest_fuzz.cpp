// The generator link server as a client reaches it: bytes over a loopback connection, cut into
// pieces of any size. The server must never crash, and everything it sends must be a sequence
// of whole, well-formed messages that tell the record's true values.
//
// Input: byte 0 chooses the record and flags (bit 0 newState, bit 1 dataValid, bit 2 connectTo,
// bit 3 a record larger than the server's send queue). Then pieces: a length byte n and n bytes;
// n = 0 sends all the rest as one piece.
#include "linkserver.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpSocket>
#include <QtEndian>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Source : LinkSource
{
    IqBuffer data;
    bool fresh = false;
    bool valid = false;
    int connect = 0;
    const IqBuffer &record() const override { return data; }
    bool newState() const override { return fresh; }
    bool dataValid() const override { return valid; }
    int connectTo() const override { return connect; }
};

void fill(IqBuffer &r, int64_t count)
{
    if (failed(allocateSamples(r, count)))
        std::abort();
    for (int64_t n = 0; n < count; ++n) {
        r.iData[n] = float(n) * 0.5f;
        r.qData[n] = -float(n);
    }
    r.sampleCount = count;
    r.sampleRate = 1.25e6;
}

struct Harness
{
    Harness()
    {
        static int argc = 1;
        static char name[] = "linkrequest_fuzz";
        static char *argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
        fill(small, 3);
        fill(large, 40000);  // 320,004 bytes: more than the server queues at once
        server = std::make_unique<LinkServer>(source);
        if (!server->listen(0))
            std::abort();
        server->acceptConnections();
    }
    std::unique_ptr<QCoreApplication> app;
    IqBuffer small, large;
    Source source;
    std::unique_ptr<LinkServer> server;
};

float floatAt(const QByteArray &bytes, int at)
{
    const uint32_t bits = qFromLittleEndian<quint32>(bytes.constData() + at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Checks one message at the front of bytes and returns its length; 0 when more bytes are
// needed. Aborts on anything the server must never send.
int checkMessage(const QByteArray &bytes, const Source &s)
{
    if (bytes.size() < 4)
        return 0;
    const int32_t type = qFromLittleEndian<qint32>(bytes.constData());
    if (type == SYMBOLS) {
        const int64_t count = s.data.heldCount();
        if (!s.valid || count <= 0)
            std::abort();
        const int64_t size = 4 + 8 * count;
        if (bytes.size() < size)
            return 0;
        for (int64_t n = 0; n < count; ++n)
            if (floatAt(bytes, int(4 + 8 * n)) != s.data.iData[n]
                || floatAt(bytes, int(8 + 8 * n)) != s.data.qData[n])
                std::abort();
        return int(size);
    }
    if (type == SERVER_ID) {
        if (bytes.size() < LinkProtocol::idMessageSize)
            return 0;
        if (bytes.left(LinkProtocol::idMessageSize) != linkServerIdMessage())
            std::abort();
        return LinkProtocol::idMessageSize;
    }
    if (bytes.size() < LinkProtocol::valueMessageSize)
        return 0;
    const float value = floatAt(bytes, 4);
    const bool right = (type == SYMBOL_RATE && value == linkRateValue(s.data.sampleRate))
                       || (type == SEQUENCE_LENGTH && value == linkCountValue(s.data.heldCount()))
                       || (type == NEW_STATE && value == (s.fresh ? 1.0f : 0.0f));
    if (!right)
        std::abort();
    return LinkProtocol::valueMessageSize;
}

// Runs the event loop until nothing more arrives, checking each whole message as it comes.
void drain(QCoreApplication &app, QTcpSocket &client, QByteArray &pending, const Source &s,
           int &messages)
{
    // A message cut in two is being streamed: give the server far longer to send the rest.
    for (int idle = 0; idle < (pending.isEmpty() ? 12 : 5000);) {
        app.processEvents();
        const QByteArray got = client.readAll();
        idle = got.isEmpty() ? idle + 1 : 0;
        pending += got;
        while (const int used = checkMessage(pending, s)) {
            pending.remove(0, used);
            ++messages;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness h;
    if (size == 0)
        return 0;
    Source &s = h.source;
    s.fresh = data[0] & 1;
    s.valid = data[0] & 2;
    s.connect = (data[0] >> 2) & 1;
    s.data = (data[0] & 8) ? h.large : h.small;

    QTcpSocket client;
    client.connectToHost(QHostAddress(QHostAddress::LocalHost), h.server->serverPort());
    if (!client.waitForConnected(5000))
        std::abort();
    QByteArray pending;
    int messages = 0;
    drain(*h.app, client, pending, s, messages);
    if (messages != 3 || !h.server->hasClient())  // NEW_STATE, SEQUENCE_LENGTH, SYMBOL_RATE
        std::abort();
    int pieces = 0;
    for (size_t at = 1; at < size; ++pieces) {
        const size_t n = data[at] ? std::min<size_t>(data[at], size - at - 1) : size - at - 1;
        client.write(reinterpret_cast<const char *>(data + at + 1), qint64(n));
        client.flush();
        at += 1 + n;
        drain(*h.app, client, pending, s, messages);
    }
    // At most four messages answer one request (GetNewState with the samples).
    if (!pending.isEmpty() || messages > 3 + 4 * pieces)
        std::abort();
    client.abort();
    h.app->processEvents();
    return 0;
}
