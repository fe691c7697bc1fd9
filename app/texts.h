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
QString SendFileButton();
QString CancelSendButton();

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
QString ReceiverCancelledBox();
QString NoAnswerBox();
QString TooManyRetriesBox();
QString FileUnreadableBox();
QString PortClosedBox();

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

// The console lines of a protocol transfer: its start, its end, and why it stopped.
QString TransferStarted(const QString &protocol, qint64 size);
QString TransferDone(const QString &protocol, qint64 size);
QString TransferStopped(const QString &protocol, const QString &reason);
QString CancelledReason();
QString ReceiverCancelledReason();
QString NoAnswerReason();
QString TooManyRetriesReason();
QString FileUnreadableReason();
QString PortClosedReason();

// The options in the console's context menu.
QString AnsiColoursOption();
QString AutoReopenOption();
QString FindOption();
QString PauseOption();

// What "发送回车换行" appends, for its tool tip: "CR LF", "CR" or "LF".
QString LineEndingToolTip(const QString &ending);

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
