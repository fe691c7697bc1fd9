#include "serial/networkport.h"

#include "app/texts.h"

#include <QEventLoop>
#include <QTimer>

namespace {

// The read bound while the session has set none: a server sending without pause must not fill
// the memory before the first read.
constexpr qint64 DefaultReadBound = 1 << 20;

QSerialPort::DataBits DataBitsOfCode(quint32 code)
{
    switch (code) {
    case 5:
        return QSerialPort::Data5;
    case 6:
        return QSerialPort::Data6;
    case 7:
        return QSerialPort::Data7;
    case 8:
        return QSerialPort::Data8;
    }
    return UnknownDataBits;
}

QSerialPort::Parity ParityOfCode(quint32 code)
{
    switch (code) {
    case 1:
        return QSerialPort::NoParity;
    case 2:
        return QSerialPort::OddParity;
    case 3:
        return QSerialPort::EvenParity;
    case 4:
        return QSerialPort::MarkParity;
    case 5:
        return QSerialPort::SpaceParity;
    }
    return UnknownParity;
}

QSerialPort::StopBits StopBitsOfCode(quint32 code)
{
    switch (code) {
    case 1:
        return QSerialPort::OneStop;
    case 2:
        return QSerialPort::TwoStop;
    case 3:
        return QSerialPort::OneAndHalfStop;
    }
    return UnknownStopBits;
}

LineSettings NothingAcknowledged()
{
    LineSettings none;
    none.baudRate = 0;
    none.dataBits = UnknownDataBits;
    none.parity = UnknownParity;
    none.stopBits = UnknownStopBits;
    none.flowControl = UnknownFlowControl;
    return none;
}

} // namespace

NetworkPort::NetworkPort(const NetPortUrl &url, QObject *parent)
    : Port(parent), url(url), ack(NothingAcknowledged())
{
    socket.setReadBufferSize(DefaultReadBound);
    connect(&socket, &QTcpSocket::readyRead, this, [this] {
        if (received.size() < (readBound > 0 ? readBound : DefaultReadBound))
            pull();
    });
    connect(&socket, &QTcpSocket::disconnected, this, &NetworkPort::onDisconnected);
    connect(&socket, &QAbstractSocket::errorOccurred, this, [this] {
        if (opened && socket.state() != QAbstractSocket::ConnectedState)
            onDisconnected();
    });
}

NetworkPort::~NetworkPort()
{
    // Released without a close: the socket's last signals must not reach a port half destroyed.
    disconnect(&socket, nullptr, this, nullptr);
}

bool NetworkPort::open(const LineSettings &settings)
{
    asked = settings;
    ack = NothingAcknowledged();
    received.clear();
    failure.clear();
    answered = comPortRefused = lost = opened = false;
    lines = InputLines();

    QEventLoop wait;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    connect(&deadline, &QTimer::timeout, &wait, [&] {
        timedOut = true;
        wait.quit();
    });
    const auto ready = [this] {
        return socket.state() == QAbstractSocket::ConnectedState && (!telnetMode() || answered);
    };
    const auto check = [&] {
        if (ready() || socket.state() == QAbstractSocket::UnconnectedState)
            wait.quit();
    };
    const QMetaObject::Connection onConnected =
        connect(&socket, &QTcpSocket::connected, &wait, [&] {
            if (telnetMode())
                socket.write(telnet.start() + telnet.setLineSettings(settings));
            check();
        });
    const QMetaObject::Connection onData = connect(&socket, &QTcpSocket::readyRead, &wait, check);
    const QMetaObject::Connection onState =
        connect(&socket, &QAbstractSocket::stateChanged, &wait, check);

    socket.connectToHost(url.host, url.port);
    deadline.start(ConnectTimeoutMs);
    // The lookup of an address, or a refusal on this machine, may end the attempt at once.
    if (!ready() && socket.state() != QAbstractSocket::UnconnectedState)
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(onConnected);
    disconnect(onData);
    disconnect(onState);

    if (ready()) {
        opened = true;
        // Bytes that came with the server's answer are read like any later ones.
        if (!received.isEmpty())
            QMetaObject::invokeMethod(this, &Port::dataArrived, Qt::QueuedConnection);
        return true;
    }
    if (timedOut)
        failure = socket.state() == QAbstractSocket::ConnectedState ? Texts::ServerSilent()
                                                                    : Texts::ConnectTimedOut();
    else
        failure = socket.errorString();
    socket.abort();
    return false;
}

void NetworkPort::close()
{
    opened = false;
    socket.abort();
}

bool NetworkPort::isOpen() const
{
    return opened;
}

QString NetworkPort::errorString() const
{
    return failure.isEmpty() ? socket.errorString() : failure;
}

LineSettings NetworkPort::lineSettings() const
{
    LineSettings settings = asked;
    if (ack.baudRate > 0)
        settings.baudRate = ack.baudRate;
    if (ack.dataBits != UnknownDataBits)
        settings.dataBits = ack.dataBits;
    if (ack.parity != UnknownParity)
        settings.parity = ack.parity;
    if (ack.stopBits != UnknownStopBits)
        settings.stopBits = ack.stopBits;
    if (ack.flowControl != UnknownFlowControl)
        settings.flowControl = ack.flowControl;
    return settings;
}

qint64 NetworkPort::bytesAvailable() const
{
    return received.size();
}

QByteArray NetworkPort::readAll()
{
    QByteArray bytes;
    bytes.swap(received);
    // The socket was left unread while the bound was reached; what it holds is the next read.
    if (socket.bytesAvailable() > 0) {
        pull();
        if (!received.isEmpty())
            QMetaObject::invokeMethod(this, &Port::dataArrived, Qt::QueuedConnection);
    }
    return bytes;
}

qint64 NetworkPort::write(const QByteArray &bytes)
{
    if (socket.state() != QAbstractSocket::ConnectedState)
        return -1;
    const QByteArray wire = telnetMode() ? telnet.encodeData(bytes) : bytes;
    return socket.write(wire) == wire.size() ? bytes.size() : -1;
}

void NetworkPort::setReadBufferSize(qint64 size)
{
    readBound = size;
    socket.setReadBufferSize(size > 0 ? size : DefaultReadBound);
}

Port::LineResult NetworkPort::sendControl(const QByteArray &bytes)
{
    if (!telnetMode() || comPortRefused)
        return LineResult::Unsupported;
    if (socket.state() != QAbstractSocket::ConnectedState)
        return LineResult::Refused;
    // Held by the codec until the server takes the option: empty then, and still done.
    if (!bytes.isEmpty())
        socket.write(bytes);
    return LineResult::Done;
}

Port::LineResult NetworkPort::setDataTerminalReady(bool on)
{
    return sendControl(telnetMode() ? telnet.setDataTerminalReady(on) : QByteArray());
}

Port::LineResult NetworkPort::setRequestToSend(bool on)
{
    return sendControl(telnetMode() ? telnet.setRequestToSend(on) : QByteArray());
}

Port::LineResult NetworkPort::setBreakEnabled(bool on)
{
    return sendControl(telnetMode() ? telnet.setBreak(on) : QByteArray());
}

std::optional<Port::InputLines> NetworkPort::inputLines()
{
    if (!telnetMode() || comPortRefused)
        return std::nullopt;
    return lines;
}

void NetworkPort::pull()
{
    const qint64 room = (readBound > 0 ? readBound : DefaultReadBound) - received.size();
    if (room > 0)
        take(socket.read(room));
}

void NetworkPort::take(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (!telnetMode()) {
        received += bytes;
    } else {
        answered = true;
        const TelnetClient::Received out = telnet.receive(bytes);
        if (!out.reply.isEmpty() && socket.state() == QAbstractSocket::ConnectedState)
            socket.write(out.reply);
        for (const ComPortEvent &event : out.events)
            onEvent(event);
        received += out.data;
    }
    if (opened && !received.isEmpty())
        emit dataArrived();
}

void NetworkPort::onEvent(const ComPortEvent &event)
{
    switch (event.kind) {
    case ComPortEvent::Accepted:
        comPortRefused = false;
        break;
    case ComPortEvent::Refused:
        comPortRefused = true;
        break;
    case ComPortEvent::BaudRate:
        ack.baudRate = qint32(event.value);
        break;
    case ComPortEvent::DataSize:
        ack.dataBits = DataBitsOfCode(event.value);
        break;
    case ComPortEvent::Parity:
        ack.parity = ParityOfCode(event.value);
        break;
    case ComPortEvent::StopSize:
        ack.stopBits = StopBitsOfCode(event.value);
        break;
    case ComPortEvent::Control:
        if (event.value == telnet::NoFlowControl)
            ack.flowControl = QSerialPort::NoFlowControl;
        else if (event.value == telnet::XonXoffFlowControl)
            ack.flowControl = QSerialPort::SoftwareControl;
        else if (event.value == telnet::HardwareFlowControl)
            ack.flowControl = QSerialPort::HardwareControl;
        break;
    case ComPortEvent::ModemState:
        lines.cts = event.value & telnet::ModemCts;
        lines.dsr = event.value & telnet::ModemDsr;
        lines.dcd = event.value & telnet::ModemCd;
        lines.ri = event.value & telnet::ModemRi;
        break;
    case ComPortEvent::LineState:
    case ComPortEvent::FlowSuspend:
    case ComPortEvent::FlowResume:
        break;
    }
}

void NetworkPort::onDisconnected()
{
    if (!opened || lost)
        return;
    // What the server sent before it went is still shown, past the bound: nothing more comes.
    if (socket.isOpen())
        take(socket.readAll());
    lost = true;
    emit errorOccurred();
    emit vanished();
}
