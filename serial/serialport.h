#pragma once

#include "serial/port.h"

#include <QSerialPort>

// A port on a serial device of this machine (or a pseudo-terminal), through QSerialPort.
class SerialPort : public Port
{
    Q_OBJECT

public:
    explicit SerialPort(const QString &name, QObject *parent = nullptr);

    bool open(const LineSettings &settings) override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override;
    LineSettings lineSettings() const override;

    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    qint64 write(const QByteArray &bytes) override;
    void setReadBufferSize(qint64 size) override;

    LineResult setDataTerminalReady(bool on) override;
    LineResult setRequestToSend(bool on) override;
    LineResult setBreakEnabled(bool on) override;
    std::optional<InputLines> inputLines() override;

    bool hasGone() const override;

private:
    void onError(QSerialPort::SerialPortError error);
    LineResult lineResult(bool done);

    QSerialPort port;
    // The hung-up device's output is being dropped: the flush that does it fails and reports
    // another error from within.
    bool dropping = false;
};
