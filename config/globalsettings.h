#pragma once

#include "config/keys.h"
#include "serial/lineending.h"

#include <QString>

class QObject;
class QSettings;

// How a global setting's control shows its value, and the form it is stored in.
enum class SettingKind {
    // A combo box, stored as its current text. A stored text is shown only when it is not empty,
    // and only if the box lists it; otherwise the box keeps its item.
    Selector,
    // A check box, a checkable button or a checkable action, stored as "true" or "false"; any
    // other text reads as the default.
    Switch,
    // A line edit, stored as typed.
    Text,
    // A group of checkable actions (QActionGroup), stored as the checked action's data. A stored
    // text no action has checks the first.
    Choice,
};

// The files a setting is read from.
enum class SettingScope {
    // "config.ini" only: the line parameters and the switches stay with the installation.
    ConfigIni,
    // Every configuration file: saved, loaded and cleared along with the rows.
    EveryFile,
};

// One global setting: the key it is stored under, the object name of its control in the window,
// its kind, the files it is read from, and the text the loader shows when a file does not hold
// the key (which clearing the configuration also puts back). An empty default leaves a selector
// at the item it shows; the line parameters default to what nearly every device uses (115200 8N1,
// no flow control), so that a first start shows readable text.
struct GlobalSetting
{
    const QString &key;
    const char *control;
    SettingKind kind;
    SettingScope scope;
    const char *defaultValue;
};

// The switches, selectors and texts outside the rows; the loader applies them in this order.
// The port itself is not stored. The change slots, the loader, save and clear work from this
// table; a new option is one row here, its control, and its change slot calling StoreSetting.
inline const GlobalSetting GlobalSettings[] = {
    {Keys::Baudrate, "comboBox_baudrate", SettingKind::Selector, SettingScope::ConfigIni, "115200"},
    {Keys::Databits, "comboBox_databits", SettingKind::Selector, SettingScope::ConfigIni, "8"},
    {Keys::Parity, "comboBox_parity", SettingKind::Selector, SettingScope::ConfigIni, "None"},
    {Keys::Flowcontrol, "comboBox_flowcontrol", SettingKind::Selector, SettingScope::ConfigIni,
     "NONE"},
    {Keys::Stopbits, "comboBox_stopbits", SettingKind::Selector, SettingScope::ConfigIni, "1"},
    {Keys::ShowInHex, "checkBox_ShowHex", SettingKind::Switch, SettingScope::ConfigIni, "false"},
    {Keys::ShowTime, "checkBox_Timestamp", SettingKind::Switch, SettingScope::ConfigIni, "false"},
    {Keys::SendHex, "checkBox_CmdHexSend", SettingKind::Switch, SettingScope::ConfigIni, "false"},
    {Keys::SendWithEnter, "checkBox_CmdWithEnter", SettingKind::Switch, SettingScope::ConfigIni,
     "false"},
    {Keys::AnsiColours, "action_ansiColours", SettingKind::Switch, SettingScope::ConfigIni,
     "false"},
    {Keys::AutoReopen, "action_autoReopen", SettingKind::Switch, SettingScope::ConfigIni, "false"},
    // The output lines the next open applies; the system raises both on open.
    {Keys::Dtr, "pushButton_dtr", SettingKind::Switch, SettingScope::ConfigIni, "true"},
    {Keys::Rts, "pushButton_rts", SettingKind::Switch, SettingScope::ConfigIni, "true"},
    // How the file row sends; the text of the protocol's item.
    {Keys::SendProtocol, "comboBox_sendProtocol", SettingKind::Selector, SettingScope::ConfigIni,
     "RAW"},
    {LineEndingKey, "actionGroup_lineEnding", SettingKind::Choice, SettingScope::ConfigIni, "crlf"},
    {Keys::RunTimes, "lineEdit_RunTimes", SettingKind::Text, SettingScope::EveryFile, ""},
    {Keys::Interval, "lineEdit_Interval", SettingKind::Text, SettingScope::EveryFile, ""},
};

// The setting's control among the window's descendants.
QObject *SettingControl(const QObject *window, const GlobalSetting &setting);
// The value the control shows, in stored form.
QString ShownValue(const GlobalSetting &setting, const QObject *control);
// The file's text for the setting; its default when the file does not hold the key.
QString StoredValue(const QSettings &file, const GlobalSetting &setting);
// Shows a stored text in the setting's control; its change slot then stores what it shows.
void ShowStoredValue(const GlobalSetting &setting, QObject *control, const QString &stored);
// Shows every default of "config.ini" in its control without its change slot: the window starts
// at them, and a first start writes nothing.
void ShowDefaults(QObject *window);
// Writes what `control` shows under its setting's key into the settings store (`settings`).
// Each setting's change slot calls it.
void StoreSetting(const QObject *control);
