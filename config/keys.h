#pragma once

#include <QString>

// Keys and value forms of the settings store. Keys carry a leading "/"; the INI format turns the
// text up to the next "/" into the section name.
namespace Keys {
inline const QString Baudrate = QStringLiteral("/globalSetting/baudrate");
inline const QString Databits = QStringLiteral("/globalSetting/databits");
inline const QString Parity = QStringLiteral("/globalSetting/parity");
inline const QString Flowcontrol = QStringLiteral("/globalSetting/flowcontrol");
inline const QString Stopbits = QStringLiteral("/globalSetting/stopbits");
inline const QString ShowInHex = QStringLiteral("/globalSetting/showInHex");
inline const QString ShowTime = QStringLiteral("/globalSetting/showTime");
inline const QString SendHex = QStringLiteral("/globalSetting/sendHex");
inline const QString SendWithEnter = QStringLiteral("/globalSetting/sendWithEnter");
inline const QString AnsiColours = QStringLiteral("/globalSetting/ansiColours");
inline const QString AutoReopen = QStringLiteral("/globalSetting/autoReopen");
inline const QString Dtr = QStringLiteral("/globalSetting/dtr");
inline const QString Rts = QStringLiteral("/globalSetting/rts");
inline const QString RunTimes = QStringLiteral("/globalSetting/runTimes");
inline const QString Interval = QStringLiteral("/globalSetting/delay");
inline const QString SendProtocol = QStringLiteral("/globalSetting/sendProtocol");
// The network ports of the port list (JoinNetPorts, serial/neturl.h).
inline const QString NetworkPorts = QStringLiteral("/globalSetting/networkPorts");

// The row keys are RowKey (commands/rowcolumns.h).
// "/TabName/" + page.
QString TabNameKey(int page);
// Switches are stored as the texts "true" and "false".
QString SwitchValue(bool on);
// Only the exact text "true" turns a switch on.
bool IsOn(const QString &stored);
} // namespace Keys
