#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. It is read before the application object exists, so that
// --help and --version work without a display.
struct CommandLine
{
    enum Action { Run, Help, Version, Invalid };
    Action action = Run;
    // Started from the desktop entry: files go to the per-user data folder, data traces off.
    bool fromMenu = false;
    // The port to open once the window is shown (--port), and the baud rate to open it with
    // (--baud, one of the baud-rate selector's items); empty when not given.
    QString port;
    QString baudRate;
    // The profile whose folder holds the window's files (--profile); empty for none.
    QString profile;
    // Why the command line was refused (Invalid only).
    QString error;
};

// Reads the arguments after the program name. The toolkit's own options (-platform, -style,
// -qwindowtitle, ...) are accepted and left for the application object to take.
CommandLine ParseCommandLine(const QStringList &arguments);
CommandLine ParseCommandLine(int argc, char *argv[]);

// The items of the baud-rate selector, which --baud must be one of.
extern const QStringList BaudRateChoices;

// Prints what a command line other than Run asks for and returns the exit code: 0 for the help
// and the version on standard output, 2 for a refused command line, with the usage on standard
// error.
int AnswerCommandLine(const CommandLine &command);

// Whether `name` may name a profile: letters, digits, "-" and "_", so that it is one folder name
// and the same in every locale.
bool IsProfileName(const QString &name);

// Where a menu launch keeps its files: $XDG_DATA_HOME/sermora, or ~/.local/share/sermora when
// XDG_DATA_HOME is unset, empty or not an absolute path; a profile's files are in profiles/NAME
// below it (the menu's own are the default profile's).
QString MenuDataFolder(const QString &xdgDataHome, const QString &home,
                       const QString &profile = QString());

// Before the application object. For a menu launch, whose working directory is the home folder
// and whose standard error goes to the system journal: turns the chatty traces off
// (QT_LOGGING_RULES still wins). For a menu launch or a profile: makes the data folder, created
// if need be, the working directory, so that each window keeps to its own files.
void PrepareLaunch(const CommandLine &command);
