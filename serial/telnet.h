#pragma once

#include "serial/lineparams.h"

#include <QByteArray>
#include <QVector>

// The client side of a Telnet connection to a serial port server with the COM-port control option
// (RFC 854, 855, 856, 858 and 2217): bytes in, data and events out, no socket.

namespace telnet {

// Commands (RFC 854).
constexpr quint8 SE = 240;
constexpr quint8 NOP = 241;
constexpr quint8 SB = 250;
constexpr quint8 WILL = 251;
constexpr quint8 WONT = 252;
constexpr quint8 DO = 253;
constexpr quint8 DONT = 254;
constexpr quint8 IAC = 255;

// Options.
constexpr quint8 Binary = 0;
constexpr quint8 Echo = 1;
constexpr quint8 SuppressGoAhead = 3;
constexpr quint8 ComPort = 44;

// COM-port commands as the client sends them; the server answers each with its code plus
// ServerOffset.
enum ComPortCommand : quint8 {
    Signature = 0,
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    NotifyLineState = 6,
    NotifyModemState = 7,
    FlowControlSuspend = 8,
    FlowControlResume = 9,
    SetLineStateMask = 10,
    SetModemStateMask = 11,
    PurgeData = 12,
};
constexpr quint8 ServerOffset = 100;

// Values of SET-CONTROL (flow control of the data the server sends out, break, DTR, RTS).
enum Control : quint8 {
    NoFlowControl = 1,
    XonXoffFlowControl = 2,
    HardwareFlowControl = 3,
    BreakOn = 5,
    BreakOff = 6,
    DtrOn = 8,
    DtrOff = 9,
    RtsOn = 11,
    RtsOff = 12,
};

// Bits of NOTIFY-MODEMSTATE: the lines and, in the low nibble, which of them changed.
constexpr quint8 ModemCd = 0x80;
constexpr quint8 ModemRi = 0x40;
constexpr quint8 ModemDsr = 0x20;
constexpr quint8 ModemCts = 0x10;

// Bits of NOTIFY-LINESTATE.
constexpr quint8 LineBreak = 0x10;
constexpr quint8 LineFramingError = 0x08;
constexpr quint8 LineParityError = 0x04;
constexpr quint8 LineOverrunError = 0x02;

// PURGE-DATA values.
constexpr quint8 PurgeReceive = 1;
constexpr quint8 PurgeTransmit = 2;
constexpr quint8 PurgeBoth = 3;

// The longest subnegotiation kept, option byte included. The server's are a few bytes (a
// signature text at most); a longer one is dropped whole while the data around it goes on.
constexpr int SubnegotiationLimit = 256;

// The RFC 2217 codes of the line settings. A setting the RFC has no code for (the Unknown
// values) is 0, which asks the server for its current one.
quint8 DataSizeCode(QSerialPort::DataBits dataBits);
quint8 ParityCode(QSerialPort::Parity parity);
quint8 StopSizeCode(QSerialPort::StopBits stopBits);
quint8 FlowControlCode(QSerialPort::FlowControl flowControl);

// IAC SB COM-PORT-OPTION `command` `value` IAC SE, every 0xFF of the value doubled. SET-BAUDRATE
// takes four bytes (big-endian), the other commands one.
QByteArray ComPortSubnegotiation(quint8 command, const QByteArray &value);
QByteArray ComPortSubnegotiation(quint8 command, quint8 value);
QByteArray BaudRateSubnegotiation(quint8 command, quint32 baudRate);

// Every 0xFF doubled (IAC IAC), as data goes in binary mode.
QByteArray EscapeIac(const QByteArray &data);

} // namespace telnet

// What the server told of its COM port. It need not answer every setting: ser2net, for one,
// leaves 1.5 stop bits (which Linux cannot set) unanswered, and on a pty DTR and RTS too.
struct ComPortEvent
{
    enum Kind : quint8 {
        Accepted,    // the server took the COM-port option: the settings have gone out
        Refused,     // it refused or withdrew it: settings and control lines do not reach it
        BaudRate,    // value: the baud rate the server uses now
        DataSize,    // value: its data size code (5 to 8)
        Parity,      // value: its parity code
        StopSize,    // value: its stop size code
        Control,     // value: a SET-CONTROL value (the flow control, or the state of a line)
        LineState,   // value: NOTIFY-LINESTATE bits
        ModemState,  // value: NOTIFY-MODEMSTATE bits
        FlowSuspend, // the server asks the client to stop sending for now
        FlowResume,  // and to go on
    };
    Kind kind;
    quint32 value = 0;

    bool operator==(const ComPortEvent &other) const
    {
        return kind == other.kind && value == other.value;
    }
};

// One connection's Telnet state. start() opens it; receive() takes what the server sent, in
// chunks cut anywhere, and gives the data, what to send back and the events; encodeData() and the
// set...() calls give the bytes to send. Every output goes to the socket as it is, in the order
// the calls were made.
//
// Binary mode is asked for both ways. Until the server agrees (or if it refuses), NVT rules hold:
// each CR sent goes out as CR NUL, and a NUL after a received CR is dropped.
//
// The line settings and control lines asked for are kept: while the server has not taken the
// COM-port option they wait, and they go out with the reply that takes it (also when a later
// connection's server takes it). Each set call sends only what changed.
class TelnetClient
{
public:
    struct Received
    {
        QByteArray data;  // the serial data, Telnet commands and escapes removed
        QByteArray reply; // negotiation answers and waiting settings, to send at once
        QVector<ComPortEvent> events;
    };

    // Forgets the previous connection's negotiation and anything held of a cut command, and gives
    // the opening negotiation: WILL and DO BINARY, WILL COM-PORT-OPTION, DO SUPPRESS-GO-AHEAD.
    QByteArray start();

    // Takes the next bytes from the server. Linear in their size; holds at most
    // SubnegotiationLimit bytes between calls.
    Received receive(const QByteArray &bytes);

    // Data bytes as they go to the server.
    QByteArray encodeData(const QByteArray &data) const;

    // The settings' SET-BAUDRATE, -DATASIZE, -PARITY, -STOPSIZE and -CONTROL (flow control), those
    // that differ from what was last sent.
    QByteArray setLineSettings(const LineSettings &settings);
    QByteArray setDataTerminalReady(bool on);
    QByteArray setRequestToSend(bool on);
    QByteArray setBreak(bool on);
    // Which changes of the modem lines the server reports (its own default is all of them).
    QByteArray setModemStateMask(quint8 mask);

    bool comPortActive() const;
    bool binaryToServer() const;
    bool binaryFromServer() const;
    // Bytes of an unfinished subnegotiation held between calls.
    int heldBytes() const;

private:
    // One side's state of an option (RFC 1143 without its queue, since this side never changes
    // its mind). Refused is No after refusing it once: asked again, it gets no second answer.
    enum State : quint8 { No, Yes, WantYes, Refused };
    enum Parse : quint8 { Data, Iac, Verb, Sub, SubIac };
    enum Setting : quint8 {
        Baud,
        DataSize,
        Parity,
        StopSize,
        Flow,
        Dtr,
        Rts,
        Break,
        ModemMask,
        SettingCount
    };

    void negotiate(quint8 verb, quint8 option, Received &out);
    void subnegotiation(Received &out) const;
    void want(Setting setting, quint32 value);
    QByteArray set(Setting setting, quint32 value);
    QByteArray unsentSettings();

    // Ours (the server asks with DO and DONT) and the server's (it offers with WILL and WONT).
    State local[256] = {};
    State remote[256] = {};

    Parse parse = Data;
    quint8 verb = 0;
    // The last data byte outside binary mode was a CR; the first binary data clears it.
    bool afterCr = false;
    bool subOverflow = false;
    QByteArray sub;

    // The settings asked for (SET-CONTROL ones by their control value), and whether each is asked
    // for at all and has gone out to this server as it is now.
    quint32 wanted[SettingCount] = {};
    bool isWanted[SettingCount] = {};
    bool isSent[SettingCount] = {};
};
