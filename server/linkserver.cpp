#include "linkserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// Bytes the server keeps queued for one client. Beyond this the next sample piece waits for
// the socket to drain, and requests wait too, so a client that does not read costs at most
// this much memory instead of the whole message.
constexpr qint64 kQueueLimit = 4 * LinkProtocol::chunkSize;

// Incoming bytes buffered per client; a flood is read and thrown away in pieces of this size.
constexpr qint64 kReadBufferSize = 4 * LinkProtocol::maxRequestSize;

// The length announced for the record. After a chunked conversion the record may describe
// more samples than its arrays hold; the announced length must match what the sample
// message carries, so it is the held count whenever samples can be sent.
int64_t announcedLength(const LinkSource &source)
{
    const IqBuffer &r = source.record();
    const int64_t held = r.heldCount();
    return source.dataValid() && held > 0 ? held : r.sampleCount;
}

}  // namespace

LinkServer::LinkServer(const LinkSource &source, QObject *parent)
    : QObject(parent)
    , m_source(source)
    , m_server(new QTcpServer(this))
    , m_stallTimer(new QTimer(this))
{
    m_stallTimer->setSingleShot(true);
    m_stallTimer->setInterval(LinkProtocol::defaultStallTimeoutMs);
    connect(m_stallTimer, &QTimer::timeout, this, &LinkServer::onStall);
}

LinkServer::~LinkServer()
{
    release(false);
}

bool LinkServer::listen(int64_t portSetting)
{
    return m_server->listen(QHostAddress(QHostAddress::LocalHost), linkPort(portSetting));
}

void LinkServer::acceptConnections()
{
    connect(m_server, &QTcpServer::newConnection, this, &LinkServer::new_connection,
            Qt::UniqueConnection);
}

void LinkServer::stopAcceptingConnections()
{
    disconnect(m_server, &QTcpServer::newConnection, this, &LinkServer::new_connection);
}

bool LinkServer::isListening() const
{
    return m_server->isListening();
}

quint16 LinkServer::serverPort() const
{
    return m_server->serverPort();
}

void LinkServer::setStallTimeout(int milliseconds)
{
    m_stallTimer->setInterval(milliseconds);
}

void LinkServer::new_connection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // Only one client is served; leaving the previous one open would leave it waiting
        // for replies that never come.
        release(false);
        adopt(socket);
        sendNewState();
        sendSequenceLength();
        sendSymbolrate();
        emit connectedChanged(true);
    }
}

void LinkServer::read_connection()
{
    if (sender() && sender() != m_client)
        return;
    serviceRequest();
}

void LinkServer::disconnected()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (socket && socket != m_client) {
        socket->deleteLater();
        return;
    }
    release(true);
}

void LinkServer::sendToLoomwave(SERVER_MESSAGE_HEADER_TYPE type, float value)
{
    if (!m_client)
        return;
    m_client->write(linkValueMessage(type, value));
    armStallTimer();
}

void LinkServer::sendServerID()
{
    if (!m_client)
        return;
    m_client->write(linkServerIdMessage());
    armStallTimer();
}

void LinkServer::sendNewState()
{
    sendToLoomwave(NEW_STATE, m_source.newState() ? 1.0f : 0.0f);
}

void LinkServer::sendSymbolrate()
{
    sendToLoomwave(SYMBOL_RATE, linkRateValue(m_source.record().sampleRate));
}

void LinkServer::sendSequenceLength()
{
    sendToLoomwave(SEQUENCE_LENGTH, linkCountValue(announcedLength(m_source)));
}

void LinkServer::sendSymbols()
{
    if (!m_client || m_streaming || !m_source.dataValid())
        return;
    const IqBuffer &record = m_source.record();
    const int64_t count = record.heldCount();
    if (count <= 0)
        return;
    m_stream = SampleMessage(record, count);
    m_streaming = true;
    feed();
}

void LinkServer::adopt(QTcpSocket *socket)
{
    m_client = socket;
    socket->setReadBufferSize(kReadBufferSize);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, &LinkServer::read_connection);
    connect(socket, &QTcpSocket::disconnected, this, &LinkServer::disconnected);
    connect(socket, &QTcpSocket::bytesWritten, this, &LinkServer::onBytesWritten);
    connect(socket, &QTcpSocket::errorOccurred, this, &LinkServer::onSocketError);
}

void LinkServer::release(bool notify)
{
    if (!m_client)
        return;
    QTcpSocket *socket = m_client;
    m_client = nullptr;
    m_streaming = false;
    m_stream = SampleMessage();  // lets go of the record's arrays
    m_stallTimer->stop();
    socket->disconnect(this);
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();
    socket->deleteLater();  // we may be inside one of its signals
    if (notify)
        emit connectedChanged(false);
}

void LinkServer::serviceRequest()
{
    // A request that arrives while a reply is still going out waits for it: answering at
    // once would put its bytes in the middle of the sample message.
    if (!m_client || busy() || m_client->bytesAvailable() <= 0)
        return;
    const QByteArray request = m_client->read(LinkProtocol::maxRequestSize);
    // Whatever follows the first request in this burst is not a request of its own.
    m_client->skip(m_client->bytesAvailable());
    answer(parseLinkRequest(request));
}

void LinkServer::answer(LinkRequest request)
{
    switch (request) {
    case LinkRequest::ServerId: sendServerID(); break;
    case LinkRequest::NewState:
        sendNewState();
        if (m_source.newState()) {
            sendSymbolrate();
            sendSequenceLength();
            if (m_source.connectTo() == 1)
                sendSymbols();
        }
        break;
    case LinkRequest::SequenceLength: sendSequenceLength(); break;
    case LinkRequest::SymbolRate: sendSymbolrate(); break;
    case LinkRequest::Symbols: sendSymbols(); break;
    case LinkRequest::None: break;
    }
}

void LinkServer::feed()
{
    while (m_client && m_streaming && m_client->bytesToWrite() < kQueueLimit) {
        m_client->write(m_stream.nextChunk());
        if (m_stream.atEnd()) {
            // The event loop sends what is queued; a flush here could re-enter us through
            // bytesWritten in the middle of this loop.
            m_streaming = false;
            m_stream = SampleMessage();
        }
    }
    armStallTimer();
}

void LinkServer::onBytesWritten()
{
    if (!m_client)
        return;
    m_stallTimer->stop();  // progress: the wait starts afresh
    feed();
    if (!busy())
        serviceRequest();
}

void LinkServer::onSocketError(QAbstractSocket::SocketError)
{
    // Any error on a stream socket ends the connection; release it now rather than leave a
    // half-dead client current.
    if (sender() == m_client)
        release(true);
}

void LinkServer::onStall()
{
    release(true);
}

void LinkServer::armStallTimer()
{
    if (!m_client)
        return;
    const bool pending = m_streaming || m_client->bytesToWrite() > 0;
    if (!pending)
        m_stallTimer->stop();
    else if (!m_stallTimer->isActive())
        m_stallTimer->start();
}

bool LinkServer::busy() const
{
    return m_streaming || (m_client && m_client->bytesToWrite() >= kQueueLimit);
}
