#include "app/commandline.h"

#include "serial/trace.h"

#include <QDir>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <cstdio>

namespace {

// The toolkit's options (QApplication, QGuiApplication and the X11 platform), without their
// leading dash: those that take the next argument as their value, those written with "=" and a
// value ("-style=fusion"), and those without a value.
const QStringList QtOptionsWithValue =
    QStringLiteral("display geometry icon name platform platformpluginpath platformtheme plugin "
                   "qwindowgeometry qwindowicon qwindowtitle session style stylesheet title")
        .split(QLatin1Char(' '));
const QStringList QtOptionsWithEquals =
    QStringLiteral("qmljsdebugger style stylesheet").split(QLatin1Char(' '));
const QStringList QtFlags =
    QStringLiteral("dograb nograb reverse sync testability widgetcount").split(QLatin1Char(' '));

const char Usage[] =
    "Usage: sermora [--from-menu] [--profile NAME] [--port NAME [--baud RATE]]\n"
    "               [toolkit options]\n"
    "       sermora --help | --version\n"
    "\n"
    "A serial terminal for communication modules. It keeps config.ini, and proposes\n"
    "log/ and userConfig/, in the working directory.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "  --from-menu    as the menu entry starts it: keep the files in\n"
    "                 $XDG_DATA_HOME/sermora (~/.local/share/sermora), created if need be,\n"
    "                 and turn the per-chunk and per-keystroke traces off\n"
    "  --profile NAME keep the files in $XDG_DATA_HOME/sermora/profiles/NAME instead,\n"
    "                 created if need be, so that windows with different profiles\n"
    "                 never share settings; NAME is letters, digits, '-' and '_'\n"
    "  --port NAME    once the window is shown, open NAME as OPEN does, with the\n"
    "                 stored line parameters: a system port (ttyUSB0), a device path,\n"
    "                 or a network port rfc2217://HOST:PORT or tcp://HOST:PORT\n"
    "  --baud RATE    open it at RATE, one of the baud-rate list (110 ... 921600)\n"
    "\n"
    "The toolkit's own options (-platform, -style, -qwindowtitle, ...) are passed on.\n"
    "SERMORA_EXTRA_PORTS=PATH[:PATH...] lists devices to offer besides the system's\n"
    "ports. SERMORA_LANG=en or zh shows the English or the Chinese texts, whatever the\n"
    "system language. See sermora(1).\n";

CommandLine Refuse(const QString &error)
{
    CommandLine refused;
    refused.action = CommandLine::Invalid;
    refused.error = error;
    return refused;
}

} // namespace

const QStringList BaudRateChoices =
    QStringLiteral("110 300 600 1200 2400 4800 9600 14400 19200 38400 57600 115200 230400 380400 "
                   "460800 921600")
        .split(QLatin1Char(' '));

CommandLine ParseCommandLine(const QStringList &arguments)
{
    bool help = false;
    bool version = false;
    bool fromMenu = false;
    QString port;
    QString baudRate;
    QString profile;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            help = true;
        } else if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            version = true;
        } else if (argument == QLatin1String("--from-menu")) {
            fromMenu = true;
        } else if (argument == QLatin1String("--port") || argument == QLatin1String("--baud") ||
                   argument == QLatin1String("--profile")) {
            if (++i == arguments.size() || arguments.at(i).isEmpty())
                return Refuse(QStringLiteral("option '%1' needs a value").arg(argument));
            (argument == QLatin1String("--port")   ? port
             : argument == QLatin1String("--baud") ? baudRate
                                                   : profile) = arguments.at(i);
        } else {
            // The toolkit takes its options with one dash or two.
            const QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(2)
                                 : argument.startsWith(QLatin1Char('-'))  ? argument.mid(1)
                                                                          : QString();
            if (name.isEmpty())
                return Refuse(QStringLiteral("unexpected argument '%1'").arg(argument));
            const int equals = name.indexOf(QLatin1Char('='));
            if (equals >= 0) {
                if (!QtOptionsWithEquals.contains(name.left(equals)))
                    return Refuse(QStringLiteral("unknown option '%1'").arg(argument));
            } else if (QtOptionsWithValue.contains(name)) {
                if (++i == arguments.size())
                    return Refuse(QStringLiteral("option '%1' needs a value").arg(argument));
            } else if (!QtFlags.contains(name)) {
                return Refuse(QStringLiteral("unknown option '%1'").arg(argument));
            }
        }
    }
    if (!baudRate.isEmpty() && !BaudRateChoices.contains(baudRate))
        return Refuse(QStringLiteral("'%1' is not one of the baud rates: %2")
                          .arg(baudRate, BaudRateChoices.join(QLatin1Char(' '))));
    if (!profile.isEmpty() && !IsProfileName(profile))
        return Refuse(QStringLiteral("'%1' is not a profile name: letters, digits, '-' and '_'")
                          .arg(profile));
    if (!baudRate.isEmpty() && port.isEmpty())
        return Refuse(QStringLiteral("option '--baud' needs '--port'"));
    CommandLine command;
    command.port = port;
    command.baudRate = baudRate;
    command.profile = profile;
    command.action = help ? CommandLine::Help : version ? CommandLine::Version : CommandLine::Run;
    command.fromMenu = fromMenu;
    return command;
}

CommandLine ParseCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return ParseCommandLine(arguments);
}

int AnswerCommandLine(const CommandLine &command)
{
    switch (command.action) {
    case CommandLine::Help:
        std::fputs(Usage, stdout);
        return 0;
    case CommandLine::Version:
        std::fputs("sermora " SERMORA_VERSION "\n", stdout);
        return 0;
    case CommandLine::Invalid:
        std::fprintf(stderr, "sermora: %s\n\n%s", command.error.toLocal8Bit().constData(), Usage);
        return 2;
    case CommandLine::Run:
        break;
    }
    return 0;
}

bool IsProfileName(const QString &name)
{
    static const QRegularExpression Allowed(QStringLiteral("^[A-Za-z0-9_-]+$"));
    return Allowed.match(name).hasMatch();
}

QString MenuDataFolder(const QString &xdgDataHome, const QString &home, const QString &profile)
{
    // Relative values are to be ignored (XDG Base Directory), though the toolkit would use them.
    const QString base =
        QDir::isAbsolutePath(xdgDataHome) ? xdgDataHome : home + QStringLiteral("/.local/share");
    const QString folder = base + QStringLiteral("/sermora");
    return QDir::cleanPath(profile.isEmpty() ? folder
                                             : folder + QStringLiteral("/profiles/") + profile);
}

void PrepareLaunch(const CommandLine &command)
{
    if (command.fromMenu)
        QLoggingCategory::setFilterRules(QLatin1String(QuietTraceRules));
    if (!command.fromMenu && command.profile.isEmpty())
        return;
    const QString folder =
        MenuDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath(), command.profile);
    // Without it the program still runs, keeping its files where it was started.
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder))
        qWarning("sermora: cannot use %s; keeping the files in %s", qPrintable(folder),
                 qPrintable(QDir::currentPath()));
}
