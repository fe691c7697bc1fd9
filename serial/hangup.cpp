#include "serial/hangup.h"

#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

void DropOutputIfHungUp(QSerialPort *port)
{
#ifdef Q_OS_UNIX
    // Dropping the bytes also flushes the driver's queue, which fails on a hung-up descriptor
    // and reports another resource error from within.
    static bool dropping = false;
    if (dropping || !port->isOpen())
        return;
    pollfd device{int(port->handle()), 0, 0};
    if (::poll(&device, 1, 0) != 1 || !(device.revents & POLLHUP))
        return;
    dropping = true;
    port->clear(QSerialPort::Output);
    dropping = false;
#else
    Q_UNUSED(port);
#endif
}
