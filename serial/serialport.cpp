#include "serial/serialport.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

SerialPort::SerialPort(const QString &name, QObject *parent) : Port(parent), port(name)
{
    connect(&port, &QSerialPort::readyRead, this, &Port::dataArrived);
    connect(&port, &QSerialPort::errorOccurred, this, &SerialPort::onError);
}

bool SerialPort::open(const LineSettings &settings)
{
    ApplyLineSettings(&port, settings);
    return port.open(QIODevice::ReadWrite);
}

void SerialPort::close()
{
    port.close();
}

bool SerialPort::isOpen() const
{
    return port.isOpen();
}

QString SerialPort::errorString() const
{
    return port.errorString();
}

LineSettings SerialPort::lineSettings() const
{
    LineSettings settings;
    settings.baudRate = port.baudRate(QSerialPort::AllDirections);
    settings.dataBits = port.dataBits();
    settings.parity = port.parity();
    settings.stopBits = port.stopBits();
    settings.flowControl = port.flowControl();
    return settings;
}

qint64 SerialPort::bytesAvailable() const
{
    return port.bytesAvailable();
}

QByteArray SerialPort::readAll()
{
    return port.readAll();
}

qint64 SerialPort::write(const QByteArray &bytes)
{
    return port.write(bytes);
}

void SerialPort::setReadBufferSize(qint64 size)
{
    port.setReadBufferSize(size);
}

Port::LineResult SerialPort::lineResult(bool done)
{
    if (done)
        return LineResult::Done;
    port.clearError();
    return LineResult::Refused;
}

Port::LineResult SerialPort::setDataTerminalReady(bool on)
{
    return lineResult(port.setDataTerminalReady(on));
}

Port::LineResult SerialPort::setRequestToSend(bool on)
{
    return lineResult(port.setRequestToSend(on));
}

Port::LineResult SerialPort::setBreakEnabled(bool on)
{
    return lineResult(port.setBreakEnabled(on));
}

std::optional<Port::InputLines> SerialPort::inputLines()
{
    // The error of an earlier request stays until cleared, and only it tells "not reported"
    // from "all lines low".
    port.clearError();
    const QSerialPort::PinoutSignals pins = port.pinoutSignals();
    if (port.error() != QSerialPort::NoError) {
        port.clearError();
        return std::nullopt;
    }
    InputLines lines;
    lines.cts = pins & QSerialPort::ClearToSendSignal;
    lines.dsr = pins & QSerialPort::DataSetReadySignal;
    lines.dcd = pins & QSerialPort::DataCarrierDetectSignal;
    lines.ri = pins & QSerialPort::RingIndicatorSignal;
    return lines;
}

bool SerialPort::hasGone() const
{
#ifdef Q_OS_UNIX
    if (!port.isOpen())
        return false;
    pollfd device{int(port.handle()), 0, 0};
    return ::poll(&device, 1, 0) == 1 && (device.revents & POLLHUP);
#else
    return false;
#endif
}

void SerialPort::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    // Bytes held for a hung-up device would be retried on every turn of the event loop, one
    // failed write and one error each time, until the port scan closes the session.
    if (error == QSerialPort::ResourceError && !dropping && hasGone()) {
        dropping = true;
        port.clear(QSerialPort::Output);
        dropping = false;
    }
    emit errorOccurred();
}
