#pragma once

#include "linkprotocol.h"
#include "linksource.h"
#include "samplemessage.h"

#include <QAbstractSocket>
#include <QObject>

class QTcpServer;
class QTcpSocket;
class QTimer;

// The TCP server through which the signal-generation software fetches the record: it answers
// short text requests with fixed-size binary messages and streams the sample message.
// One client is served at a time; a new connection replaces (and closes) the previous one.
// Everything runs on the owner's thread from the event loop, so the GUI never blocks while a
// slow client drains a large message: the message is fed 64,000 bytes at a time as the socket
// takes it, and a client that takes nothing for the stall timeout is dropped.
class LinkServer : public QObject
{
    Q_OBJECT
public:
    explicit LinkServer(const LinkSource &source, QObject *parent = nullptr);
    ~LinkServer() override;

    // Listens on 127.0.0.1 only, at the low 16 bits of the port setting. False when the port
    // cannot be bound (the caller decides whether that matters).
    bool listen(int64_t portSetting);
    // Binds incoming connections to new_connection; until then they wait in the backlog.
    void acceptConnections();
    // Undoes acceptConnections; the current client, if any, stays served.
    void stopAcceptingConnections();

    bool isListening() const;
    quint16 serverPort() const;
    bool hasClient() const { return m_client != nullptr; }
    // Longest time a client may take no bytes at all before it is dropped (default 30,000 ms).
    void setStallTimeout(int milliseconds);

signals:
    // The "Connected" indicator: true when a client becomes current, false when it goes.
    void connectedChanged(bool connected);

public slots:
    void new_connection();
    void read_connection();
    void disconnected();

    void sendToLoomwave(SERVER_MESSAGE_HEADER_TYPE type, float value);
    void sendServerID();
    void sendNewState();
    void sendSymbolrate();
    void sendSequenceLength();
    void sendSymbols();

private slots:
    void onBytesWritten();
    void onSocketError(QAbstractSocket::SocketError error);
    void onStall();

private:
    void adopt(QTcpSocket *socket);
    void release(bool notify);
    void serviceRequest();
    void answer(LinkRequest request);
    void feed();
    void armStallTimer();
    bool busy() const;

    const LinkSource &m_source;
    QTcpServer *m_server;
    QTimer *m_stallTimer;
    QTcpSocket *m_client = nullptr;
    SampleMessage m_stream;
    bool m_streaming = false;
};
