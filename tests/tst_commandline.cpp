#include "app/commandline.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The program's environment without a display or a platform named, so that only the arguments
// decide whether it needs one.
QProcessEnvironment bareEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES"})
        environment.remove(QLatin1String(name));
    return environment;
}

void writeRowOne(const QString &folder)
{
    QVERIFY(QDir().mkpath(folder));
    QSettings config(folder + QStringLiteral("/config.ini"), QSettings::IniFormat);
    config.setValue(QStringLiteral("/1/cmd"), QStringLiteral("AT+CSQ"));
    config.sync();
    QCOMPARE(config.status(), QSettings::NoError);
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void valueOptions_data();
    void valueOptions();
    void menuDataFolder_data();
    void menuDataFolder();
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
    void menuLaunch_data();
    void menuLaunch();
    void profileKeepsItsOwnFiles();
};

void CommandLineTest::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("fromMenu");
    // For a refused command line: the argument its message must name.
    QTest::addColumn<QString>("culprit");

    const int run = CommandLine::Run;
    const int help = CommandLine::Help;
    const int version = CommandLine::Version;
    const int invalid = CommandLine::Invalid;
    QTest::newRow("nothing") << QStringList{} << run << false << QString();
    QTest::newRow("menu") << QStringList{"--from-menu"} << run << true << QString();
    QTest::newRow("-h") << QStringList{"-h"} << help << false << QString();
    QTest::newRow("--version") << QStringList{"--version"} << version << false << QString();
    QTest::newRow("help wins over version")
        << QStringList{"-v", "--help"} << help << false << QString();
    QTest::newRow("toolkit option and its value")
        << QStringList{"-platform", "offscreen", "--from-menu"} << run << true << QString();
    QTest::newRow("toolkit option with two dashes")
        << QStringList{"--platform", "offscreen"} << run << false << QString();
    QTest::newRow("toolkit option with =")
        << QStringList{"-style=fusion"} << run << false << QString();
    QTest::newRow("toolkit flag") << QStringList{"-reverse"} << run << false << QString();
    QTest::newRow("a value that looks like an option")
        << QStringList{"-qwindowtitle", "--version"} << run << false << QString();
    QTest::newRow("unknown option") << QStringList{"--bogus"} << invalid << false << "--bogus";
    QTest::newRow("unknown option beside --help")
        << QStringList{"--help", "-x"} << invalid << false << "-x";
    QTest::newRow("value missing") << QStringList{"-platform"} << invalid << false << "-platform";
    // The toolkit ignores "-platform=xcb"; accepting it would hide the mistake.
    QTest::newRow("= where the toolkit takes none")
        << QStringList{"-platform=xcb"} << invalid << false << "-platform=xcb";
    QTest::newRow("value on the menu option")
        << QStringList{"--from-menu=yes"} << invalid << false << "--from-menu=yes";
    QTest::newRow("file name") << QStringList{"config.ini"} << invalid << false << "config.ini";
    QTest::newRow("lone dash") << QStringList{"-"} << invalid << false << "'-'";
}

void CommandLineTest::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(bool, fromMenu);
    QFETCH(QString, culprit);

    const CommandLine command = ParseCommandLine(arguments);
    QCOMPARE(int(command.action), action);
    QCOMPARE(command.fromMenu, fromMenu);
    if (action == CommandLine::Invalid)
        QVERIFY2(command.error.contains(culprit), qPrintable(command.error));
}

void CommandLineTest::valueOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    // The port, the baud rate and the profile; none for a refused command line.
    QTest::addColumn<QStringList>("parsed");
    // For a refused command line: the text its message must hold.
    QTest::addColumn<QString>("culprit");

    QTest::newRow("network port and baud")
        << QStringList{"--baud", "921600", "--port", "rfc2217://rack:4001"}
        << QStringList{"rfc2217://rack:4001", "921600", ""} << QString();
    QTest::newRow("profile of every kind of character, with a port")
        << QStringList{"--port", "ttyUSB2", "--from-menu", "--profile", "AT-2_b"}
        << QStringList{"ttyUSB2", "", "AT-2_b"} << QString();
    const QStringList refused;
    QTest::newRow("baud not in the list")
        << QStringList{"--port", "ttyUSB0", "--baud", "12345"} << refused << "12345";
    QTest::newRow("baud with spaces")
        << QStringList{"--port", "ttyUSB0", "--baud", " 9600"} << refused << "' 9600'";
    QTest::newRow("baud without port") << QStringList{"--baud", "9600"} << refused << "--port";
    QTest::newRow("port without name") << QStringList{"--port"} << refused << "--port";
    QTest::newRow("empty port") << QStringList{"--port", ""} << refused << "--port";
    QTest::newRow("empty profile") << QStringList{"--profile", ""} << refused << "--profile";
    // Each would reach outside profiles/ or into another profile's folder.
    QTest::newRow("profile with a slash")
        << QStringList{"--profile", "../lab"} << refused << "'../lab'";
    QTest::newRow("profile of dots") << QStringList{"--profile", ".."} << refused << "'..'";
    QTest::newRow("profile with a space, after a port")
        << QStringList{"--port", "ttyUSB0", "--profile", "my lab"} << refused << "'my lab'";
    // Letters outside ASCII would name different folders in different locales.
    QTest::newRow("profile in Chinese")
        << QStringList{"--profile", "模块"} << refused << "is not a profile name";
}

void CommandLineTest::valueOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, parsed);
    QFETCH(QString, culprit);

    const CommandLine command = ParseCommandLine(arguments);
    if (!culprit.isEmpty()) {
        QCOMPARE(command.action, CommandLine::Invalid);
        QVERIFY2(command.error.contains(culprit), qPrintable(command.error));
        // A refusal ends with exit code 2.
        QCOMPARE(AnswerCommandLine(command), 2);
        return;
    }
    QCOMPARE(command.action, CommandLine::Run);
    QCOMPARE(QStringList({command.port, command.baudRate, command.profile}), parsed);
}

void CommandLineTest::menuDataFolder_data()
{
    QTest::addColumn<QString>("xdgDataHome");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("expected");

    const QString none;
    QTest::newRow("set") << "/srv/data" << none << "/srv/data/sermora";
    QTest::newRow("trailing slash") << "/srv/data/" << none << "/srv/data/sermora";
    QTest::newRow("unset") << none << none << "/home/ann/.local/share/sermora";
    // Relative values are to be ignored: they would depend on where the menu starts programs.
    QTest::newRow("relative") << "data" << none << "/home/ann/.local/share/sermora";
    QTest::newRow("profile") << "/srv/data/" << QStringLiteral("gnss")
                             << "/srv/data/sermora/profiles/gnss";
    QTest::newRow("profile, unset")
        << none << QStringLiteral("at_1") << "/home/ann/.local/share/sermora/profiles/at_1";
}

void CommandLineTest::menuDataFolder()
{
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, profile);
    QFETCH(QString, expected);
    QCOMPARE(MenuDataFolder(xdgDataHome, QStringLiteral("/home/ann"), profile), expected);
}

void CommandLineTest::answersWithoutDisplay_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("help") << "--help" << 0 << "^Usage: sermora .*--from-menu"
                          << "^$";
    QTest::newRow("version") << "--version" << 0 << "^sermora \\d+\\.\\d+\\.\\d+\\n$"
                             << "^$";
    QTest::newRow("unknown option") << "--bogus" << 2 << "^$"
                                    << "^sermora: unknown option '--bogus'\\n\\nUsage: sermora ";
}

void CommandLineTest::answersWithoutDisplay()
{
    QFETCH(QString, argument);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QProcess program;
    program.setProcessEnvironment(bareEnvironment());
    program.start(QStringLiteral(SERMORA_BINARY), {argument});
    QVERIFY(program.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    const auto dotAll = QRegularExpression::DotMatchesEverythingOption;
    QVERIFY2(QRegularExpression(out, dotAll).match(output).hasMatch(), qPrintable(output));
    QVERIFY2(QRegularExpression(err, dotAll).match(errors).hasMatch(), qPrintable(errors));
}

void CommandLineTest::menuLaunch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("loggingRules");
    // Where "config.ini" with a command in row 1 is put beforehand ("" for nowhere), and the
    // working directory expected: "start" (where the program is started) or "data" (the
    // per-user data folder).
    QTest::addColumn<QString>("configIn");
    QTest::addColumn<QString>("workingIn");
    // Whether loading row 1 shows in the row trace.
    QTest::addColumn<bool>("rowTraced");

    const QStringList menu{QStringLiteral("--from-menu")};
    QTest::newRow("from a terminal") << QStringList{} << ""
                                     << "start"
                                     << "start" << true;
    QTest::newRow("from the menu, first time") << menu << ""
                                               << ""
                                               << "data" << false;
    QTest::newRow("from the menu") << menu << ""
                                   << "data"
                                   << "data" << false;
    QTest::newRow("from the menu, traces asked for") << menu << "sermora.rows.debug=true"
                                                     << "data"
                                                     << "data" << true;
}

// Starts the real program (with the toolkit's -platform option rather than the environment) and
// stops it once its first port scan shows it is up, after loading "config.ini".
void CommandLineTest::menuLaunch()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, loggingRules);
    QFETCH(QString, configIn);
    QFETCH(QString, workingIn);
    QFETCH(bool, rowTraced);

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString start = scratch.filePath(QStringLiteral("home"));
    const QString data = scratch.filePath(QStringLiteral("xdg/sermora"));
    QVERIFY(QDir().mkpath(start));
    if (!configIn.isEmpty())
        writeRowOne(configIn == QLatin1String("start") ? start : data);

    QProcessEnvironment environment = bareEnvironment();
    environment.insert(QStringLiteral("HOME"), start);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), scratch.filePath(QStringLiteral("xdg")));
    environment.insert(QStringLiteral("SERMORA_EXTRA_PORTS"), QStringLiteral("/dev/null"));
    if (!loggingRules.isEmpty())
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), loggingRules);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(start);
    program.setReadChannel(QProcess::StandardError);
    program.start(QStringLiteral(SERMORA_BINARY),
                  QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen")} +
                      arguments);
    QVERIFY(program.waitForStarted());

    QByteArray traces;
    const QDeadlineTimer deadline(30000);
    while (!traces.contains("Add Serial Port: /dev/null") && !deadline.hasExpired()) {
        if (!program.waitForReadyRead(int(deadline.remainingTime())))
            break;
        traces += program.readAllStandardError();
    }
    const QString workingDirectory =
        QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(program.processId()));
    program.kill();
    program.waitForFinished();
    QVERIFY2(traces.contains("Add Serial Port: /dev/null"), traces.constData());

    QCOMPARE(workingDirectory, workingIn == QLatin1String("start") ? start : data);
    QCOMPARE(traces.contains("OnCmdLineListEditingFinished lineEdit_cmdList_1\n"), rowTraced);
}

// A second window with a profile, started as the menu would: its first change of a setting goes
// to the profile's own folder, made for it, and neither to the menu's nor to where it started.
void CommandLineTest::profileKeepsItsOwnFiles()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString start = scratch.filePath(QStringLiteral("home"));
    const QString menuData = scratch.filePath(QStringLiteral("xdg/sermora"));
    const QString profileData = menuData + QStringLiteral("/profiles/nmea-2");
    QVERIFY(QDir().mkpath(start));

    QProcessEnvironment environment = bareEnvironment();
    environment.insert(QStringLiteral("HOME"), start);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), scratch.filePath(QStringLiteral("xdg")));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(start);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Choosing the baud rate stores it; /dev/null then fails to open, behind a box.
    program.start(QStringLiteral(SERMORA_BINARY),
                  {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                   QStringLiteral("--from-menu"), QStringLiteral("--profile"),
                   QStringLiteral("nmea-2"), QStringLiteral("--port"), QStringLiteral("/dev/null"),
                   QStringLiteral("--baud"), QStringLiteral("1200")});
    QVERIFY(program.waitForStarted());
    const QString config = profileData + QStringLiteral("/config.ini");
    QTRY_COMPARE_WITH_TIMEOUT(QSettings(config, QSettings::IniFormat)
                                  .value(QStringLiteral("/globalSetting/baudrate"))
                                  .toString(),
                              QStringLiteral("1200"), 30000);
    const QString workingDirectory =
        QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(program.processId()));
    program.kill();
    program.waitForFinished();

    QCOMPARE(workingDirectory, profileData);
    QVERIFY(!QFile::exists(menuData + QStringLiteral("/config.ini")));
    QVERIFY(!QFile::exists(start + QStringLiteral("/config.ini")));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
