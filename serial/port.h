#pragma once

#include "serial/lineparams.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

// What a session needs of a port, whatever carries its bytes. The session holds the open one as
// `serialPort`; opening, closing and releasing it stay the session's.
class Port : public QObject
{
    Q_OBJECT

public:
    // What became of a request to set an output line or a break.
    enum class LineResult { Done, Refused, Unsupported };

    // The device's modem lines, as the driver last reported them.
    struct InputLines
    {
        bool cts = false;
        bool dsr = false;
        bool dcd = false;
        bool ri = false;
    };

    using QObject::QObject;

    // Opens for reading and writing with these settings; on failure errorString() says why and
    // nothing is left open.
    virtual bool open(const LineSettings &settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString errorString() const = 0;
    // The settings in force, as the device reports them.
    virtual LineSettings lineSettings() const = 0;

    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    // Queues the bytes without waiting for them to go out; the count accepted, -1 on failure.
    virtual qint64 write(const QByteArray &bytes) = 0;
    // Bounds what is held unread between two reads, so that a burst is read in chunks of this size.
    virtual void setReadBufferSize(qint64 size) = 0;

    virtual LineResult setDataTerminalReady(bool on) = 0;
    virtual LineResult setRequestToSend(bool on) = 0;
    virtual LineResult setBreakEnabled(bool on) = 0;
    // Empty where the driver cannot report the lines.
    virtual std::optional<InputLines> inputLines() = 0;

    // The device behind the port has gone for good (unplugged): no byte can reach it again.
    virtual bool hasGone() const = 0;

signals:
    // New bytes can be read.
    void dataArrived();
    // A read or write failed; the session stays open, closing it is the port scan's business.
    void errorOccurred();
    // The device went away for good while open (hasGone() is true now): the session ends as at
    // an unplug. A port the scan can see vanish (a device node) need not say it.
    void vanished();
};
