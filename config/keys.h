#pragma once

#include <QString>

// Keys and value forms of the settings store. Keys carry a leading "/"; the INI format turns the
// text up to the next "/" into the section name.
namespace Keys {
inline const QString baudrate = QStringLiteral("/globalSetting/baudrate");
inline const QString databits = QStringLiteral("/globalSetting/databits");
inline const QString parity = QStringLiteral("/globalSetting/parity");
inline const QString flowcontrol = QStringLiteral("/globalSetting/flowcontrol");
inline const QString stopbits = QStringLiteral("/globalSetting/stopbits");
inline const QString showInHex = QStringLiteral("/globalSetting/showInHex");
inline const QString showTime = QStringLiteral("/globalSetting/showTime");
inline const QString sendHex = QStringLiteral("/globalSetting/sendHex");
inline const QString sendWithEnter = QStringLiteral("/globalSetting/sendWithEnter");
inline const QString runTimes = QStringLiteral("/globalSetting/runTimes");
inline const QString interval = QStringLiteral("/globalSetting/delay");

// The row keys are RowKey (commands/rowcolumns.h).
// "/TabName/" + page.
QString tabNameKey(int page);
// Switches are stored as the texts "true" and "false".
QString switchValue(bool on);
// Only the exact text "true" turns a switch on.
bool isOn(const QString &stored);
} // namespace Keys
