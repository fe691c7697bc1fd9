#pragma once

#include <QString>

// The texts the program shows or puts back at run time, outside the form's initial texts. Each is
// looked up in the translation context "Widget" when it is asked for, so a translator installed
// before the window is built applies to them as to the form.
namespace Texts {

// Captions the slots set on their buttons, and the form starts with.
QString OpenButton();
QString CloseButton();
QString RunButton();
QString StartLogButton();
QString StopLogButton();
QString NoLogPath();
QString NoFileToSend();

// Tags of stamped console lines while sends are echoed.
QString ReceivedTag();
QString SentTag();

// The refusal box: its title and the texts of the refusals.
QString WarningTitle();
QString PortOpenFailed();
QString NoPortSelected();
QString JoinGroup(const QString &group);
QString SendWithoutPort();
QString SaveConfigFailed();
QString ConfigNotRecognised();
QString ConfigNotReadable();
QString SettingsSetAside(const QString &copy);
QString LogNotCreated();
QString LogWriteFailed();
QString FileWithoutPort();
QString FileNotOpened();

// Titles, filters and labels of the dialogs.
QString LoadConfigTitle();
QString SaveConfigTitle();
QString ConfigFilter();
QString SaveLogTitle();
QString LogFilter();
QString ChooseFileTitle();
QString AllFilesFilter();
QString NamePageTitle();
QString NamePageLabel();
QString AboutTitle();

// The options in the console's context menu.
QString AnsiColoursOption();
QString AutoReopenOption();

// The line strip of the bottom bar.
QString CounterToolTip();
QString PulseOption();

// Network ports: the port list's context menu, its dialog and refusal, and the reasons of a
// failed connection that the socket does not give.
QString AddNetworkPortOption();
QString RemoveNetworkPortOption();
QString AddNetworkPortTitle();
QString AddNetworkPortLabel();
QString BadNetworkPort(const QString &entry);
QString ConnectTimedOut();
QString ServerSilent();

} // namespace Texts
