#pragma once

#include "serial/neturl.h"
#include "serial/port.h"
#include "serial/telnet.h"

#include <QTcpSocket>

// A serial port served over the network: Telnet with the COM-port option (rfc2217://), which
// carries the line settings and control lines, or the bare byte stream (tcp://), which carries
// neither.
class NetworkPort : public Port
{
    Q_OBJECT

public:
    // How long open() waits for the connection (and, over RFC 2217, the server's first answer).
    static constexpr int ConnectTimeoutMs = 5000;

    explicit NetworkPort(const NetPortUrl &url, QObject *parent = nullptr);
    ~NetworkPort() override;

    // Connects, handling events meanwhile (the window stays responsive); a raw stream is open
    // once connected, an RFC 2217 one once the server has answered the Telnet negotiation.
    bool open(const LineSettings &settings) override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override;
    // What the server acknowledged, and what was asked for where it has not (yet).
    LineSettings lineSettings() const override;
    // Only what the server acknowledged; the Unknown values (baud rate 0) where it has not.
    LineSettings acknowledged() const { return ack; }

    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    qint64 write(const QByteArray &bytes) override;
    void setReadBufferSize(qint64 size) override;

    LineResult setDataTerminalReady(bool on) override;
    LineResult setRequestToSend(bool on) override;
    LineResult setBreakEnabled(bool on) override;
    // The lines of the last NOTIFY-MODEMSTATE (all low before the first); empty over a raw
    // stream or when the server refused the COM-port option.
    std::optional<InputLines> inputLines() override;

    // The server closed the connection, or it broke.
    bool hasGone() const override { return lost; }

private:
    // Reads from the socket what fits below the read bound, decoded, into `received`.
    void pull();
    // Decodes bytes from the socket into `received`, answering the negotiation.
    void take(const QByteArray &bytes);
    void onEvent(const ComPortEvent &event);
    void onDisconnected();
    LineResult sendControl(const QByteArray &bytes);
    bool telnetMode() const { return url.scheme == NetPortUrl::Rfc2217; }

    NetPortUrl url;
    QTcpSocket socket;
    TelnetClient telnet;
    QByteArray received;
    // The most decoded data held unread: the socket is not read while it is full.
    qint64 readBound = 0;
    LineSettings asked;
    LineSettings ack;
    InputLines lines;
    QString failure;
    bool opened = false;
    bool answered = false;
    bool comPortRefused = false;
    bool lost = false;
};
