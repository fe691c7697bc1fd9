#pragma once

#include <QString>

// Informative text of the box that reports a failed open: the system's reason, and for a device
// the user may not open, the group to join. `deniedGroup` is empty unless access was denied.
QString OpenFailureDetails(const QString &portName, const QString &reason,
                           const QString &deniedGroup);

// On Linux, the group owning the port's device node when the user may not read and write it
// (usually "dialout"); empty when access is not the problem or the node cannot be looked at.
QString DeniedDeviceGroup(const QString &portName);
