#pragma once

class QSerialPort;

// Called when the open port reports a resource error. If the device behind it has been hung up
// (unplugged: the descriptor can never take a byte again), the bytes the port object still holds
// for it are dropped. Otherwise the port object retries them on every turn of the event loop,
// one failed write and one error signal each time, until the port scan closes the session.
// The session itself stays open; closing it is the scan's business.
void DropOutputIfHungUp(QSerialPort *port);
