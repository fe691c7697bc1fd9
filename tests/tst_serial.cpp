#include "app/globals.h"
#include "app/widget.h"
#include "serial/consolemodel.h"
#include "serial/openfailure.h"
#include "serial/port.h"
#include "serial/portscan.h"
#include "serial/reopen.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/ordinaryuser.h"
#include "support/pty.h"
#include "support/session.h"
#include "support/windowtest.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// Debug lines of the program: the traces, and one hex line per chunk put on the console.
QStringList debugLines;
QtMessageHandler testLogger = nullptr;

// Chunks of data the console model has shown.
int chunksShown = 0;
// Set while a simulated device streams; chunks put on the console meanwhile are counted.
std::atomic<bool> deviceStreaming{false};
int chunksWhileStreaming = 0;
qint64 largestChunk = 0;

void keepDebugLines(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg) {
        testLogger(type, context, message);
        return;
    }
    // Hex lines of big chunks are only measured, not kept whole.
    debugLines.append(message.left(200));
}

void countChunk(int bytes)
{
    if (bytes == 0)
        return;
    ++chunksShown;
    largestChunk = std::max(largestChunk, qint64(bytes));
    if (deviceStreaming)
        ++chunksWhileStreaming;
}

const QStringList sessionCombos = {
    QStringLiteral("comboBox_serial"),      QStringLiteral("comboBox_baudrate"),
    QStringLiteral("comboBox_databits"),    QStringLiteral("comboBox_parity"),
    QStringLiteral("comboBox_flowcontrol"), QStringLiteral("comboBox_stopbits")};

const QRegularExpression stampPattern(QStringLiteral(R"(\[\d\d-\d\d \d\d:\d\d:\d\d:\d\d\d\])"));

QString withStamp(const QString &tag, const QString &text)
{
    return QRegularExpression::anchoredPattern(stampPattern.pattern() +
                                               QRegularExpression::escape(tag + text));
}

// A group for a node that the ordinary user may not open: as root one the user is not in,
// "dialout" as on most systems, or an id that has no name when `withName` is false; otherwise
// the user's own group, which only denies a node whose owner may not use it. The id is -1 when
// no such group can be had.
struct DeniedGroup
{
    gid_t id = gid_t(-1);
    QString name;
};

DeniedGroup deniedGroup(bool withName)
{
    DeniedGroup result;
    if (geteuid() != 0) {
        if (!withName)
            return result;
        result.id = getegid();
    } else if (withName) {
        const group *dialout = getgrnam("dialout");
        result.id = dialout ? dialout->gr_gid : 0;
    } else {
        result.id = 4242;
        while (getgrgid(result.id))
            ++result.id;
    }
    const group *entry = getgrgid(result.id);
    result.name = entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(result.id);
    return result;
}

} // namespace

class SerialTest : public WindowTest
{
    Q_OBJECT

private slots:
    // Installed over the test library's own handler, which it forwards everything else to.
    void initTestCase() { testLogger = qInstallMessageHandler(keepDebugLines); }
    void init();

    void extraPortPaths_data();
    void extraPortPaths();
    void onlyExistingExtraPathsAreReported();
    void scanSchedule_data();
    void scanSchedule();
    void deviceFolderChangeSchedulesScan_data();
    void deviceFolderChangeSchedulesScan();
    void reopenDecision_data();
    void reopenDecision();
    void openAndCloseLooks();
    void openFailureDetails_data();
    void openFailureDetails();
    void openFailureLeavesNoPort_data();
    void openFailureLeavesNoPort();
    void lineParametersReachThePort_data();
    void lineParametersReachThePort();
    void scanKeepsListAndSelectorParallel();
    void vanishedPathClosesSessionAndSendWarns();
    void commandsArriveByteExact_data();
    void commandsArriveByteExact();
    void ctrlZAndWarnings();
    void replyInOneBurstIsOneChunk();
    void claimingConsumerTakesBytesBeforeTheBurstTimer();
    void plainPtyShowsItsLinesAsUnknown();
    void consoleShapesOnlyTheScriptsThatNeedIt();
    void stampsAndTags();
    void hexViewSwitchRebuildsConsole();
    void continuousStreamIsShownWhileItRuns_data();
    void continuousStreamIsShownWhileItRuns();
    void splitUtf8CharacterShownWhole();
    void hostileBytesShownAsPlainText();
    void oneMegabyteBurst();

private:
    void sendCommand(const QString &text, bool hex, bool enter);
};

void SerialTest::init()
{
    WindowTest::init();
    debugLines.clear();
    connect(window->findChild<ConsoleModel *>(), &ConsoleModel::chunkShown, this,
            [](int bytes) { countChunk(bytes); });
}

void SerialTest::sendCommand(const QString &text, bool hex, bool enter)
{
    get<QLineEdit>("lineEdit_main_cmd")->setText(text);
    get<QCheckBox>("checkBox_CmdHexSend")->setChecked(hex);
    get<QCheckBox>("checkBox_CmdWithEnter")->setChecked(enter);
    get<QPushButton>("pushButton_main_cmd_send")->click();
}

void SerialTest::extraPortPaths_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("paths");
    const QString sep = QDir::listSeparator();
    QTest::newRow("unset") << QString() << QStringList();
    QTest::newRow("one") << "/tmp/sermora-module" << QStringList{"/tmp/sermora-module"};
    QTest::newRow("two") << "/dev/pts/3" + sep + "/tmp/x" << QStringList{"/dev/pts/3", "/tmp/x"};
    QTest::newRow("empty entries")
        << sep + "/a" + sep + sep + "/b" + sep << QStringList{"/a", "/b"};
}

void SerialTest::extraPortPaths()
{
    QFETCH(QString, value);
    QFETCH(QStringList, paths);
    QCOMPARE(ExtraPortPaths(value), paths);
}

void SerialTest::onlyExistingExtraPathsAreReported()
{
    QTemporaryDir dir;
    const QString dangling = dir.filePath(QStringLiteral("dangling"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), dangling));
    const QString value = QStringList{pty->slavePath(), dangling, dir.filePath("missing")}.join(
        QDir::listSeparator());
    QCOMPARE(ExistingExtraPorts(value), QStringList{pty->slavePath()});
}

void SerialTest::scanSchedule_data()
{
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QString>("asks");
    // Ticks: "." a watched folder is unchanged, "c" it changed, "u" nothing can be watched.
    // Asks: "E" the tick enumerates the system's ports, "-" it reuses the last answer.
    QTest::newRow("first tick, then quiet") << "...."
                                            << "E---";
    QTest::newRow("a change and the tick after") << "..c..."
                                                 << "E-EE--";
    QTest::newRow("a second change restarts the count") << "..c.c.."
                                                        << "E-EEEE-";
    QTest::newRow("nothing watched") << "uuu"
                                     << "EEE";
    QTest::newRow("watch lost for one tick") << ".u.."
                                             << "EE--";
    QTest::newRow("once a minute regardless")
        << QString(61, QLatin1Char('.')) << "E" + QString(59, QLatin1Char('-')) + "E";
}

void SerialTest::scanSchedule()
{
    QFETCH(QString, ticks);
    QFETCH(QString, asks);
    PortScanSchedule schedule;
    QString seen;
    for (const QChar tick : ticks) {
        const bool asked =
            schedule.enumerateNow(tick == QLatin1Char('c'), tick != QLatin1Char('u'));
        seen.append(QLatin1Char(asked ? 'E' : '-'));
    }
    QCOMPARE(seen, asks);
}

void SerialTest::deviceFolderChangeSchedulesScan_data()
{
    QTest::addColumn<bool>("nodeComes");
    QTest::newRow("a device node appears") << true;
    QTest::newRow("a device node goes") << false;
}

void SerialTest::deviceFolderChangeSchedulesScan()
{
    QFETCH(bool, nodeComes);
    QTemporaryDir dir;
    const QString node = dir.filePath(QStringLiteral("ttyUSB0"));
    if (!nodeComes)
        QVERIFY(QFile(node).open(QIODevice::WriteOnly));
    // An hour back, so that the change below shows whatever the file system's clock granularity.
    const timespec hourAgo{time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(dir.path()).constData(), times, 0), 0);

    DeviceFolderWatch watch({dir.path()});
    QVERIFY(watch.enumerateNow());
    QVERIFY(!watch.enumerateNow());
    if (nodeComes)
        QVERIFY(QFile(node).open(QIODevice::WriteOnly));
    else
        QVERIFY(QFile::remove(node));
    QVERIFY(watch.enumerateNow());
    QVERIFY(watch.enumerateNow());
    QVERIFY(!watch.enumerateNow());

    // A folder that is not there cannot be watched: every tick asks.
    DeviceFolderWatch missing({dir.filePath(QStringLiteral("none"))});
    QVERIFY(missing.enumerateNow());
    QVERIFY(missing.enumerateNow());
}

void SerialTest::reopenDecision_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<qint64>("sinceUnplug");
    QTest::addColumn<bool>("due");
    QTest::addColumn<bool>("pendingAfter");
    QTest::newRow("nothing pending") << false << true << qint64(1000) << false << false;
    QTest::newRow("not back yet") << true << false << qint64(1000) << false << true;
    // Stays pending, so a failed open is tried again at the next scan.
    QTest::newRow("back") << true << true << qint64(1000) << true << true;
    QTest::newRow("back at the last moment") << true << true << qint64(60000) << true << true;
    QTest::newRow("back too late") << true << true << qint64(60001) << false << false;
    QTest::newRow("not back in time") << true << false << qint64(60001) << false << false;
}

void SerialTest::reopenDecision()
{
    QFETCH(bool, armed);
    QFETCH(bool, listed);
    QFETCH(qint64, sinceUnplug);
    QFETCH(bool, due);
    QFETCH(bool, pendingAfter);
    const qint64 unplugged = 5000000;
    ReopenWatch watch;
    if (armed)
        watch.arm(QStringLiteral("/dev/ttyACM0"), unplugged);
    QCOMPARE(watch.dueAtScan(listed, unplugged + sinceUnplug), due);
    QCOMPARE(watch.isPending(), pendingAfter);
}

void SerialTest::openAndCloseLooks()
{
    QVERIFY(openPort());
    auto *button = get<QPushButton>("pushButton_serialOpen");
    QCOMPARE(button->text(), QStringLiteral("Close"));
    QCOMPARE(styleOf(button, QStringLiteral("QPushButton"), QStringLiteral("background-color")),
             QStringLiteral("rgb(170, 0, 0)"));
    for (const QString &name : sessionCombos)
        QVERIFY2(!control<QComboBox>(window, name)->isEnabled(), qPrintable(name));
    const QString path = pty->slavePath();
    QVERIFY(debugLines.contains(
        QStringLiteral("on_pushButton_serialOpen_clicked(Opening %1)").arg(path)));
    QVERIFY(debugLines.contains(
        QStringLiteral("on_pushButton_serialOpen_clicked(%1 Open Success 115200)").arg(path)));

    button->click();
    QVERIFY(serialPort == nullptr);
    QCOMPARE(button->text(), QStringLiteral("OPEN"));
    QCOMPARE(styleOf(button, QStringLiteral("QPushButton"), QStringLiteral("background-color")),
             QStringLiteral("rgb(51, 136, 255)"));
    for (const QString &name : sessionCombos)
        QVERIFY2(control<QComboBox>(window, name)->isEnabled(), qPrintable(name));
    QVERIFY(debugLines.contains(
        QStringLiteral("on_pushButton_serialOpen_clicked(Close %1...)").arg(path)));
    QCOMPARE(debugLines.last(), QStringLiteral("on_pushButton_serialOpen_clicked(Close OK)"));

    // The next open applies the then-current choices.
    get<QComboBox>("comboBox_baudrate")->setCurrentText(QStringLiteral("115200"));
    button->click();
    QVERIFY(serialPort != nullptr);
    QCOMPARE(serialPort->lineSettings().baudRate, 115200);
}

void SerialTest::openFailureDetails_data()
{
    QTest::addColumn<QString>("portName");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("deniedGroup");
    QTest::addColumn<QString>("details");
    QTest::newRow("nothing selected") << ""
                                      << "Is a directory"
                                      << ""
                                      << "未选择串口！";
    QTest::newRow("the system's reason") << "ttyUSB0"
                                         << "Device or resource busy"
                                         << ""
                                         << "Device or resource busy";
    QTest::newRow("no access to the device")
        << "/dev/ttyUSB0"
        << "Permission denied"
        << "dialout"
        << "Permission denied\n请将当前用户加入用户组dialout，然后重新登录！";
}

void SerialTest::openFailureDetails()
{
    QFETCH(QString, portName);
    QFETCH(QString, reason);
    QFETCH(QString, deniedGroup);
    QFETCH(QString, details);
    QCOMPARE(OpenFailureDetails(portName, reason, deniedGroup), details);
}

void SerialTest::openFailureLeavesNoPort_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("details");
    QTest::newRow("empty selection") << ""
                                     << "未选择串口！";
    QTest::newRow("path gone before the press") << "gone" << qt_error_string(ENOENT);
    QTest::newRow("regular file") << "file" << qt_error_string(ENOTTY);
    QTest::newRow("/dev/null") << "/dev/null" << qt_error_string(ENOTTY);
    // Opened as an ordinary user who is not in the node's group.
    const DeniedGroup named = deniedGroup(true);
    const DeniedGroup nameless = deniedGroup(false);
    QTest::newRow("no access, the group named")
        << QStringLiteral("denied:%1").arg(named.id)
        << qt_error_string(EACCES) + "\n请将当前用户加入用户组" + named.name + "，然后重新登录！";
    QTest::newRow("no access, a group without a name")
        << QStringLiteral("denied:%1").arg(nameless.id)
        << qt_error_string(EACCES) + "\n请将当前用户加入用户组" + nameless.name +
               "，然后重新登录！";
}

void SerialTest::openFailureLeavesNoPort()
{
    QFETCH(QString, kind);
    QFETCH(QString, details);
    const bool denied = kind.startsWith(QLatin1String("denied:"));
    OrdinaryUserFolder dir;
    auto *ports = get<QComboBox>("comboBox_serial");
    if (!kind.isEmpty()) {
        QString path = kind;
        if (!kind.startsWith(QLatin1Char('/'))) {
            path = dir.filePath(QStringLiteral("ttyFile"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        if (denied) {
            const gid_t group = kind.section(QLatin1Char(':'), 1).toUInt();
            if (group == gid_t(-1))
                QSKIP("only root can give a node to a group the user is not in");
            // Root's node, or for an ordinary user one of their own that only the group may use.
            const QByteArray node = QFile::encodeName(path);
            QVERIFY(chown(node.constData(), uid_t(-1), group) == 0);
            QVERIFY(chmod(node.constData(), geteuid() == 0 ? 0660 : 0060) == 0);
        }
        qputenv("SERMORA_EXTRA_PORTS", path.toLocal8Bit());
        QTRY_VERIFY_WITH_TIMEOUT(ports->findText(path) >= 0, 5000);
        ports->setCurrentIndex(ports->findText(path));
        // No event is handled between the removal and the press, so no scan sees it go.
        if (kind == QLatin1String("gone"))
            QVERIFY(QFile::remove(path));
    }
    auto seen = acceptNextMessageBox();
    if (denied) {
        AsOrdinaryUser user;
        if (!user.isOrdinary())
            QSKIP("root cannot take an ordinary user's ids here");
        get<QPushButton>("pushButton_serialOpen")->click();
    } else {
        get<QPushButton>("pushButton_serialOpen")->click();
    }
    QCOMPARE(seen->title, QStringLiteral("告警"));
    QCOMPARE(seen->text, QStringLiteral("串口打开失败！\r\n请检查串口驱动或是否被占用！"));
    QCOMPARE(seen->informativeText, details);
    QVERIFY(serialPort == nullptr);
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("OPEN"));
    for (const QString &name : sessionCombos)
        QVERIFY(control<QComboBox>(window, name)->isEnabled());
    QVERIFY(debugLines.last().endsWith(QStringLiteral(" Open Fail)")));

    // A send after the failed open finds no port.
    seen = acceptNextMessageBox();
    sendCommand(QStringLiteral("AT"), false, true);
    QCOMPARE(seen->text, QStringLiteral("无法发送数据！\r\n请先打开串口！"));
}

void SerialTest::lineParametersReachThePort_data()
{
    // The items chosen by their texts, so the form's order of items is checked too.
    QTest::addColumn<QString>("baudRate");
    QTest::addColumn<QString>("dataBitsItem");
    QTest::addColumn<QString>("parityItem");
    QTest::addColumn<QString>("stopBitsItem");
    QTest::addColumn<QString>("flowItem");
    QTest::addColumn<QSerialPort::DataBits>("dataBits");
    QTest::addColumn<QSerialPort::Parity>("parity");
    QTest::addColumn<QSerialPort::StopBits>("stopBits");
    QTest::addColumn<QSerialPort::FlowControl>("flow");
    QTest::newRow("110 5N1") << "110"
                             << "5"
                             << "None"
                             << "1"
                             << "NONE" << QSerialPort::Data5 << QSerialPort::NoParity
                             << QSerialPort::OneStop << QSerialPort::NoFlowControl;
    QTest::newRow("14400 6O1.5 RTS/CTS")
        << "14400"
        << "6"
        << "Odd"
        << "1.5"
        << "RTS/CTS" << QSerialPort::Data6 << QSerialPort::OddParity << QSerialPort::OneAndHalfStop
        << QSerialPort::HardwareControl;
    QTest::newRow("380400 7E2 XON/XOFF")
        << "380400"
        << "7"
        << "Even"
        << "2"
        << "XON/XOFF" << QSerialPort::Data7 << QSerialPort::EvenParity << QSerialPort::TwoStop
        << QSerialPort::SoftwareControl;
    QTest::newRow("921600 8M2 RTS/CTS")
        << "921600"
        << "8"
        << "Mark"
        << "2"
        << "RTS/CTS" << QSerialPort::Data8 << QSerialPort::MarkParity << QSerialPort::TwoStop
        << QSerialPort::HardwareControl;
    QTest::newRow("115200 8S1 XON/XOFF")
        << "115200"
        << "8"
        << "Space"
        << "1"
        << "XON/XOFF" << QSerialPort::Data8 << QSerialPort::SpaceParity << QSerialPort::OneStop
        << QSerialPort::SoftwareControl;
}

void SerialTest::lineParametersReachThePort()
{
    QFETCH(QString, baudRate);
    QFETCH(QString, dataBitsItem);
    QFETCH(QString, parityItem);
    QFETCH(QString, stopBitsItem);
    QFETCH(QString, flowItem);
    QFETCH(QSerialPort::DataBits, dataBits);
    QFETCH(QSerialPort::Parity, parity);
    QFETCH(QSerialPort::StopBits, stopBits);
    QFETCH(QSerialPort::FlowControl, flow);
    const QList<QPair<const char *, QString>> choices = {{"comboBox_baudrate", baudRate},
                                                         {"comboBox_databits", dataBitsItem},
                                                         {"comboBox_parity", parityItem},
                                                         {"comboBox_stopbits", stopBitsItem},
                                                         {"comboBox_flowcontrol", flowItem}};
    for (const auto &choice : choices) {
        auto *selector = get<QComboBox>(choice.first);
        selector->setCurrentText(choice.second);
        QCOMPARE(selector->currentText(), choice.second);
    }
    QVERIFY(openPort());
    QCOMPARE(serialPort->lineSettings().baudRate, baudRate.toInt());
    QCOMPARE(serialPort->lineSettings().dataBits, dataBits);
    QCOMPARE(serialPort->lineSettings().parity, parity);
    QCOMPARE(serialPort->lineSettings().stopBits, stopBits);
    QCOMPARE(serialPort->lineSettings().flowControl, flow);

    // A pty forces 8 data bits without parity, but keeps stop bits and flow control as set.
    termios line;
    QCOMPARE(tcgetattr(pty->slaveFd(), &line), 0);
    QCOMPARE(bool(line.c_cflag & CSTOPB), stopBits == QSerialPort::TwoStop);
    QCOMPARE(bool(line.c_cflag & CRTSCTS), flow == QSerialPort::HardwareControl);
    QCOMPARE(line.c_iflag & (IXON | IXOFF),
             flow == QSerialPort::SoftwareControl ? tcflag_t(IXON | IXOFF) : tcflag_t(0));
}

void SerialTest::scanKeepsListAndSelectorParallel()
{
    QTemporaryDir dir;
    const auto path = [&dir](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    const auto touch = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::WriteOnly);
    };
    // Names that differ only in case are different ports.
    const QStringList all = {path("a"), path("b"), path("c"), path("d"), path("D")};
    for (const QString &file : all)
        QVERIFY(touch(file));
    qputenv("SERMORA_EXTRA_PORTS", all.join(QDir::listSeparator()).toLocal8Bit());
    auto *ports = get<QComboBox>("comboBox_serial");
    const auto items = [ports] {
        QStringList texts;
        for (int i = 0; i < ports->count(); ++i)
            texts.append(ports->itemText(i));
        return texts;
    };
    QTRY_VERIFY_WITH_TIMEOUT(items().contains(path("D")), 5000);
    QCOMPARE(items().mid(items().indexOf(path("a"))), all);
    ports->setCurrentText(path("b"));

    // Two vanished ports, not adjacent, go in one scan; the selector moves to the next item.
    QVERIFY(QFile::remove(path("b")));
    QVERIFY(QFile::remove(path("d")));
    QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
    QVERIFY(!items().contains(path("b")));
    QVERIFY(!items().contains(path("d")));
    QCOMPARE(items(), QStringList(portNameList));
    QCOMPARE(ports->currentText(), path("c"));

    // A port that comes back is appended, not restored to its place.
    QVERIFY(touch(path("b")));
    QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
    QCOMPARE(items().last(), path("b"));
    QCOMPARE(items(), QStringList(portNameList));
}

void SerialTest::vanishedPathClosesSessionAndSendWarns()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("module"));
    QVERIFY(QFile::link(pty->slavePath(), link));
    qputenv("SERMORA_EXTRA_PORTS", link.toLocal8Bit());
    auto *ports = get<QComboBox>("comboBox_serial");
    QTRY_VERIFY_WITH_TIMEOUT(ports->findText(link) >= 0, 5000);
    ports->setCurrentIndex(ports->findText(link));
    get<QPushButton>("pushButton_serialOpen")->click();
    QVERIFY(serialPort != nullptr);

    QVERIFY(QFile::remove(link));
    QTRY_VERIFY_WITH_TIMEOUT(serialPort == nullptr, 5000);
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("OPEN"));
    QCOMPARE(styleOf(get<QPushButton>("pushButton_serialOpen"), QStringLiteral("QPushButton"),
                     QStringLiteral("background-color")),
             QStringLiteral("rgb(51, 136, 255)"));
    for (const QString &name : sessionCombos)
        QVERIFY(control<QComboBox>(window, name)->isEnabled());
    QCOMPARE(ports->findText(link), -1);
    QVERIFY(debugLines.contains(QStringLiteral("_KESTO_GetSerialPorts(Close %1...)").arg(link)));
    QVERIFY(debugLines.contains(QStringLiteral("_KESTO_GetSerialPorts(Close OK)")));

    auto seen = acceptNextMessageBox();
    sendCommand(QStringLiteral("AT"), false, true);
    QCOMPARE(seen->title, QStringLiteral("告警"));
    QCOMPARE(seen->text, QStringLiteral("无法发送数据！\r\n请先打开串口！"));
}

void SerialTest::commandsArriveByteExact_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("AT with CR LF") << "AT" << false << true << QByteArray("AT\r\n");
    QTest::newRow("AT alone") << "AT" << false << false << QByteArray("AT");
    QTest::newRow("outside Latin-1")
        << QStringLiteral("é中") << false << false << QByteArray("\xE9?");
    QTest::newRow("hex, odd length") << "41 54 0D 0A" << true << true << QByteArray("AT\r\n");
    QTest::newRow("hex ignores enter") << "41" << true << true << QByteArray("A");
    QTest::newRow("empty with enter") << "" << false << true << QByteArray();
    QTest::newRow("hex of spaces") << "  " << true << false << QByteArray();
}

void SerialTest::commandsArriveByteExact()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, enter);
    QFETCH(QByteArray, bytes);
    QVERIFY(openPort());
    sendCommand(text, hex, enter);
    // A marker after the command shows where its bytes end, so "nothing" is checked too.
    sendCommand(QStringLiteral("#"), false, false);
    const QByteArray got = pty->readAtLeast(bytes.size() + 1);
    QCOMPARE(got, bytes + '#');
    // The command line keeps its text; without the echo switch nothing reaches the console.
    QCOMPARE(get<QLineEdit>("lineEdit_main_cmd")->text(), QStringLiteral("#"));
    QVERIFY(textDisplayBuffer.isEmpty());
}

void SerialTest::ctrlZAndWarnings()
{
    auto seen = acceptNextMessageBox();
    get<QPushButton>("pushButton_send_ctrlz")->click();
    QCOMPARE(seen->text, QStringLiteral("无法发送数据！\r\n请先打开串口！"));

    QVERIFY(openPort());
    get<QCheckBox>("checkBox_sendlog_record")->setChecked(true);
    get<QPushButton>("pushButton_send_ctrlz")->click();
    QCOMPARE(pty->readAtLeast(1), QByteArray("\x1A"));
    // Ctrl-Z is never echoed, even with the echo switch on.
    QVERIFY(textDisplayBuffer.isEmpty());
}

void SerialTest::claimingConsumerTakesBytesBeforeTheBurstTimer()
{
    QVERIFY(openPort());
    QByteArray claimed;
    bool timerArmed = false;
    window->SetReceiveConsumer([&](const QByteArray &bytes) {
        claimed += bytes;
        timerArmed = timerArmed || readTimer->isActive();
    });
    const int before = chunksShown;
    QVERIFY(pty->write("\x06\x06C"));
    QTRY_COMPARE(claimed, QByteArray("\x06\x06C"));
    QVERIFY(!timerArmed);
    QCOMPARE(chunksShown, before);
    QVERIFY(textDisplayBuffer.isEmpty());

    // Given back, the stream is the console's again, in bursts as before.
    window->SetReceiveConsumer(nullptr);
    QVERIFY(pty->write("OK\r\n"));
    QTRY_COMPARE(textDisplayBuffer, QStringLiteral("OK\r\n"));
    QCOMPARE(claimed, QByteArray("\x06\x06C"));
}

void SerialTest::plainPtyShowsItsLinesAsUnknown()
{
    auto *dsr = get<QLabel>("label_dsr");
    QVERIFY(!dsr->styleSheet().contains(QLatin1String("line-through")));
    QVERIFY(openPort());
    // A pty has no modem lines; the strip says so instead of showing them all low.
    QTRY_VERIFY(dsr->styleSheet().contains(QLatin1String("line-through")));
    get<QPushButton>("pushButton_dtr")->click();
    QVERIFY(get<QPushButton>("pushButton_dtr")->isChecked());
}

void SerialTest::consoleShapesOnlyTheScriptsThatNeedIt()
{
    auto *console = get<QTextBrowser>("textBrowser");
    const QString latin = QStringLiteral("AVAV T.T.");
    const QString arabic =
        QString::fromUtf8("\u0633\u0644\u0627\u0645 \u0639\u0644\u064a\u0643\u0645");
    // The width each line takes laid out with the console's font, shaped or not.
    const auto width = [console](const QString &text, QFont::StyleStrategy strategy) {
        QFont font = console->font();
        font.setStyleStrategy(strategy);
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        return layout.lineAt(0).naturalTextWidth();
    };
    QVERIFY(width(arabic, QFont::PreferNoShaping) != width(arabic, QFont::PreferDefault));
    window->ShowData((latin + "\r\n").toUtf8(), true);
    window->ShowData((arabic + "\r\n").toUtf8(), true);
    window->ShowData((latin + "\r\n").toUtf8(), true);
    for (const QString &colours : {QStringLiteral("plain"), QStringLiteral("coloured")}) {
        QTextDocument *document = console->document();
        const QList<qreal> expected = {width(latin, QFont::PreferNoShaping),
                                       width(arabic, QFont::PreferDefault),
                                       width(latin, QFont::PreferNoShaping)};
        QList<qreal> shown;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            if (block.text().isEmpty())
                continue;
            document->documentLayout()->blockBoundingRect(block);
            shown << block.layout()->lineAt(0).naturalTextWidth();
        }
        QVERIFY2(shown == expected, qPrintable(colours));
        // The same through the colour renderer, and back from the hex view.
        window->findChild<QAction *>(QStringLiteral("action_ansiColours"))->setChecked(true);
        get<QPushButton>("pushButton_clear_screen")->click();
        window->ShowData((latin + "\x1b[31m\r\n").toUtf8(), true);
        window->ShowData((arabic + "\r\n").toUtf8(), true);
        window->ShowData((latin + "\x1b[0m\r\n").toUtf8(), true);
        get<QCheckBox>("checkBox_ShowHex")->click();
        get<QCheckBox>("checkBox_ShowHex")->click();
    }
}

void SerialTest::replyInOneBurstIsOneChunk()
{
    QVERIFY(openPort());
    const int before = chunksShown;
    QVERIFY(pty->write("+CSQ: 23,99\r\n\r\nOK\r\n"));
    QTRY_COMPARE(textDisplayBuffer, QStringLiteral("+CSQ: 23,99\r\n\r\nOK\r\n"));
    QCOMPARE(chunksShown - before, 1);
    QCOMPARE(hexDisplayBuffer,
             QStringLiteral("2B 43 53 51 3A 20 32 33 2C 39 39 0D 0A\n\n0D 0A\n\n4F 4B 0D 0A\n"));
    QCOMPARE(get<QTextBrowser>("textBrowser")->toPlainText(),
             QStringLiteral("+CSQ: 23,99\n\nOK\n"));
}

void SerialTest::stampsAndTags()
{
    QVERIFY(openPort());
    get<QCheckBox>("checkBox_Timestamp")->setChecked(true);

    // Without the echo switch: a plain stamp on what arrives, sends are not shown.
    sendCommand(QStringLiteral("AT"), false, true);
    QCOMPARE(pty->readAtLeast(4), QByteArray("AT\r\n"));
    QVERIFY(pty->write("OK\r\n"));
    QTRY_VERIFY(!textDisplayBuffer.isEmpty());
    QVERIFY2(QRegularExpression(withStamp(QString(), QStringLiteral("OK\r\n")))
                 .match(textDisplayBuffer)
                 .hasMatch(),
             qPrintable(textDisplayBuffer));

    // With it: tags tell sent from received lines.
    get<QPushButton>("pushButton_clear_screen")->click();
    QVERIFY(textDisplayBuffer.isEmpty() && hexDisplayBuffer.isEmpty());
    QVERIFY(get<QTextBrowser>("textBrowser")->toPlainText().isEmpty());
    get<QCheckBox>("checkBox_sendlog_record")->setChecked(true);
    sendCommand(QStringLiteral("AT"), false, true);
    QCOMPARE(pty->readAtLeast(4), QByteArray("AT\r\n"));
    QVERIFY(pty->write("OK\r\n"));
    QTRY_VERIFY(textDisplayBuffer.count(QLatin1Char('\n')) == 2);
    const QStringList lines = textDisplayBuffer.split(QLatin1Char('\n'));
    QVERIFY2(QRegularExpression(withStamp(QStringLiteral("[发送]"), QStringLiteral("AT\r")))
                 .match(lines.at(0))
                 .hasMatch(),
             qPrintable(lines.at(0)));
    QVERIFY2(QRegularExpression(withStamp(QStringLiteral("[接收]"), QStringLiteral("OK\r")))
                 .match(lines.at(1))
                 .hasMatch(),
             qPrintable(lines.at(1)));
}

void SerialTest::hexViewSwitchRebuildsConsole()
{
    QVERIFY(openPort());
    auto *console = get<QTextBrowser>("textBrowser");
    auto *showHex = get<QCheckBox>("checkBox_ShowHex");
    QVERIFY(pty->write("<b>AB</b>\r\n"));
    QTRY_COMPARE(console->toPlainText(), QStringLiteral("<b>AB</b>\n"));

    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::mouseClick(showHex, Qt::LeftButton);
    QVERIFY(showHex->isChecked());
    QCOMPARE(console->toPlainText(), QStringLiteral("3C 62 3E 41 42 3C 2F 62 3E 0D 0A\n"));

    // New chunks follow the switch; earlier ones were converted by the click.
    QVERIFY(pty->write("OK"));
    QTRY_VERIFY(console->toPlainText().endsWith(QStringLiteral("4F 4B")));
    QTest::mouseClick(showHex, Qt::LeftButton);
    QVERIFY(!showHex->isChecked());
    QCOMPARE(console->toPlainText(), QStringLiteral("<b>AB</b>\nOK"));
    QCOMPARE(QSettings(QStringLiteral("config.ini"), QSettings::IniFormat)
                 .value(QStringLiteral("globalSetting/showInHex"))
                 .toString(),
             QStringLiteral("false"));
}

void SerialTest::continuousStreamIsShownWhileItRuns_data()
{
    QTest::addColumn<int>("linesPerWrite");
    QTest::addColumn<int>("pauseMicroseconds");
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<int>("minimumChunks");
    // A line every 2 ms: never the 10 ms pause that ends a burst.
    QTest::newRow("paced") << 1 << 2000 << 3000 << 5;
    // As fast as the pty takes it: the program never runs out of data to read.
    QTest::newRow("flood") << 1500 << 0 << 1000 << 1;
}

void SerialTest::continuousStreamIsShownWhileItRuns()
{
    QFETCH(int, linesPerWrite);
    QFETCH(int, pauseMicroseconds);
    QFETCH(int, durationMs);
    QFETCH(int, minimumChunks);
    QVERIFY(openPort());
    chunksWhileStreaming = 0;
    deviceStreaming = true;
    const int master = pty->masterFd();
    std::thread device([=] {
        const QByteArray line =
            QByteArray("$GPGGA,123519,4807.038,N,01131.000,E*47\r\n").repeated(linesPerWrite);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < durationMs) {
            // Whole writes only, so the stream ends with a complete line.
            for (int done = 0; done < line.size();) {
                const ssize_t n =
                    ::write(master, line.constData() + done, size_t(line.size() - done));
                if (n > 0) {
                    done += int(n);
                } else {
                    pollfd ready{master, POLLOUT, 0};
                    ::poll(&ready, 1, 10);
                }
            }
            if (pauseMicroseconds > 0)
                usleep(useconds_t(pauseMicroseconds));
        }
        deviceStreaming = false;
    });
    while (deviceStreaming)
        QTest::qWait(20);
    device.join();
    QVERIFY2(chunksWhileStreaming >= minimumChunks,
             qPrintable(QString::number(chunksWhileStreaming)));
    // Coalescing still works: far fewer chunks than lines.
    QVERIFY2(chunksWhileStreaming < durationMs / 10,
             qPrintable(QString::number(chunksWhileStreaming)));
    QTRY_VERIFY_WITH_TIMEOUT(textDisplayBuffer.endsWith(QStringLiteral("\r\n")), 30000);
}

void SerialTest::splitUtf8CharacterShownWhole()
{
    QVERIFY(openPort());
    QVERIFY(pty->write("\xE4\xB8"));
    QTRY_COMPARE(hexDisplayBuffer, QStringLiteral("E4 B8"));
    QCOMPARE(textDisplayBuffer, QString());
    QVERIFY(pty->write("\xAD\r\n"));
    QTRY_COMPARE(hexDisplayBuffer, QStringLiteral("E4 B8 AD 0D 0A\n"));
    QCOMPARE(textDisplayBuffer, QStringLiteral("中\r\n"));

    // A clear drops the held bytes: their continuation is not coming.
    QVERIFY(pty->write("\xE4"));
    QTRY_VERIFY(hexDisplayBuffer.endsWith(QStringLiteral("E4")));
    get<QPushButton>("pushButton_clear_screen")->click();
    QVERIFY(pty->write("A"));
    QTRY_COMPARE(textDisplayBuffer, QStringLiteral("A"));

    // Closing shows, in the console and the log, what the line delivered and the console lacks:
    // a held sequence, whose continuation will not come now, as the character it stands for...
    const QString log = QDir::current().absoluteFilePath(QStringLiteral("close.log"));
    auto chosen = answerNextFileDialog(log);
    get<QPushButton>("pushButton_log_filepath")->click();
    QVERIFY(chosen->shown);
    get<QPushButton>("pushButton_log")->click();
    QVERIFY(logRecording);
    QVERIFY(pty->write("\xE4"));
    QTRY_VERIFY(hexDisplayBuffer.endsWith(QStringLiteral("E4")));
    auto *openButton = get<QPushButton>("pushButton_serialOpen");
    openButton->click();
    QCOMPARE(textDisplayBuffer, QStringLiteral("A\uFFFD"));

    // ...and a burst still waiting for its read.
    openButton->click();
    QVERIFY(serialPort != nullptr);
    readTimer->blockSignals(true);
    QVERIFY(pty->write("B\xE4"));
    QTRY_COMPARE(serialPort->bytesAvailable(), qint64(2));
    readTimer->blockSignals(false);
    openButton->click();
    get<QPushButton>("pushButton_log")->click();
    QCOMPARE(textDisplayBuffer, QStringLiteral("A\uFFFDB\uFFFD"));
    QCOMPARE(hexDisplayBuffer, QStringLiteral("41 E4 42 E4"));
    QCOMPARE(get<QTextBrowser>("textBrowser")->toPlainText(), textDisplayBuffer);
    QFile written(log);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QStringLiteral("\uFFFDB\uFFFD").toLocal8Bit());
}

void SerialTest::hostileBytesShownAsPlainText()
{
    QVERIFY(openPort());
    QVERIFY(pty->write(QByteArray("A\0B<img src=x>\xFF\xC0<b>\r\n", 21)));
    QTRY_VERIFY(textDisplayBuffer.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(textDisplayBuffer, QStringLiteral("A\\0B<img src=x>\uFFFD\uFFFD<b>\r\n"));
    QCOMPARE(hexDisplayBuffer, QStringLiteral("41 00 42 3C 69 6D 67 20 73 72 63 3D 78 3E FF C0 3C "
                                              "62 3E 0D 0A\n"));
    auto *console = get<QTextBrowser>("textBrowser");
    QCOMPARE(console->toPlainText(), QStringLiteral("A\\0B<img src=x>\uFFFD\uFFFD<b>\n"));
    // Taken as markup the text would have made an image and bold text.
    QVERIFY(!console->toHtml().contains(QStringLiteral("<img")));
    QVERIFY(!console->toHtml().contains(QStringLiteral("font-weight:700")));
}

void SerialTest::oneMegabyteBurst()
{
    QVERIFY(openPort());
    get<QCheckBox>("checkBox_Timestamp")->setChecked(true);
    QByteArray burst;
    for (int i = 0; burst.size() < 1024 * 1024; ++i)
        burst += "line " + QByteArray::number(i) + " <i>x</i>\r\n";
    burst += "END\r\n";
    largestChunk = 0;
    QVERIFY(pty->write(burst));
    QTRY_VERIFY_WITH_TIMEOUT(textDisplayBuffer.endsWith(QStringLiteral("END\r\n")), 30000);
    auto *console = get<QTextBrowser>("textBrowser");
    QVERIFY(console->toPlainText().endsWith(QStringLiteral("]END\n")));
    // However fast it comes, a chunk stays small enough to lay out; the rest waits its turn.
    QVERIFY2(largestChunk <= 256 * 1024, qPrintable(QString::number(largestChunk)));

    // Past the limits the oldest parts went from both buffers together: what is left of each
    // holds the same bytes, and the console shows the newest lines of the text, from a line start,
    // as plain text.
    QVERIFY(textDisplayBuffer.size() <= TextBufferLimit);
    QVERIFY(hexDisplayBuffer.size() <= HexBufferLimit);
    const QRegularExpression stamp(QStringLiteral("\\[\\d\\d-\\d\\d [\\d:]{12}\\]"));
    const QByteArray hexBytes = QByteArray::fromHex(
        QString(hexDisplayBuffer).remove(stamp).remove(QLatin1Char('\n')).toLatin1());
    QCOMPARE(QString::fromLatin1(hexBytes), QString(textDisplayBuffer).remove(stamp));
    const QString shown = console->toPlainText();
    QVERIFY(shown.startsWith(QLatin1Char('[')));
    QVERIFY(QString(textDisplayBuffer)
                .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                .endsWith(shown));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SerialTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_serial.moc"
