#pragma once

#include <QString>

class QWidget;
class PtyPair;

// Makes the pty's slave end one of the listed ports (SERMORA_EXTRA_PORTS), waits for the port
// scan to list it, selects it and presses OPEN. True when the window then has the port open.
bool openOnPty(QWidget *window, const PtyPair &pty, int timeoutMs = 5000);

// The same for any device path, for example a symlink to a pty's slave that the test removes
// later to unplug the port.
bool openOnPath(QWidget *window, const QString &path, int timeoutMs = 5000);

// Deletes the window, then the session's port (a global that outlives any window), then the pty
// (may be null), so each test starts without a port and the port is released before its device
// goes.
void tearDownSession(QWidget *window, PtyPair *pty);
