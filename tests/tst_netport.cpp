// Network ports against the real ser2net on the loopback interface, serving the pty the test plays
// the module on, and against test servers that refuse or stay silent.

#include "app/commandline.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/widget.h"
#include "serial/networkport.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <termios.h>

namespace {

// A port number nothing listens on now.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// Whether something listens on 127.0.0.1:port, from the kernel's table, without connecting
// (ser2net would open the device for a connection).
bool listening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local =
        "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields.at(1) == local && fields.at(3) == "0A")
            return true;
    }
    return false;
}

// The whole 0x00-0xFF range, then runs of 0xFF that an IAC escape must keep whole.
QByteArray everyByte()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes + QByteArray(5, '\xff') + "A" + QByteArray(2, '\xff') + '\0' + '\xff';
}

} // namespace

class NetPortTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addedFromTheMenuStoredAndRemoved();
    void rfc2217CarriesSettingsAndBytes();
    void serverGoneIsAnUnplugAndReconnects();
    void rawTcpCarriesBytesOnly();
    void failedConnectShowsReason_data();
    void failedConnectShowsReason();

private:
    bool startSer2net();
    void stopSer2net();
    // The choice of the port list's context menu with this object name.
    void chooseFromPortMenu(const char *action);
    // Sends `bytes` both ways and compares what arrived at the other end.
    void exchange(const QByteArray &bytes);

    QTemporaryDir *folder = nullptr;
    QProcess *ser2net = nullptr;
    quint16 rfcPort = 0;
    quint16 rawPort = 0;
};

void NetPortTest::init()
{
    WindowTest::init();
    if (QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/usr/bin"})
            .isEmpty())
        QSKIP("ser2net is not installed (scripts/setup.sh installs it)");
    folder = new QTemporaryDir;
    rfcPort = freePort();
    rawPort = freePort();
    QFile config(folder->filePath(QStringLiteral("ser2net.yaml")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    const QByteArray device = pty->slavePath().toLocal8Bit();
    config.write("%YAML 1.1\n---\n"
                 "connection: &rfc\n"
                 "    accepter: telnet(rfc2217),tcp,127.0.0.1," +
                 QByteArray::number(rfcPort) +
                 "\n    enable: on\n    options:\n      kickolduser: true\n"
                 "    connector: serialdev," +
                 device +
                 ",9600n81,local\n"
                 "connection: &raw\n"
                 "    accepter: tcp,127.0.0.1," +
                 QByteArray::number(rawPort) +
                 "\n    enable: on\n"
                 "    connector: serialdev," +
                 device + ",9600n81,local\n");
    config.close();
    QVERIFY(startSer2net());
}

void NetPortTest::cleanup()
{
    WindowTest::cleanup();
    stopSer2net();
    delete folder;
    folder = nullptr;
}

bool NetPortTest::startSer2net()
{
    ser2net = new QProcess;
    ser2net->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ser2net->start(
        QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/usr/bin"}),
        {"-n", "-u", "-c", folder->filePath(QStringLiteral("ser2net.yaml")), "-P",
         folder->filePath(QStringLiteral("ser2net.pid"))});
    if (!ser2net->waitForStarted(5000))
        return false;
    QDeadlineTimer deadline(10000);
    while (!(listening(rfcPort) && listening(rawPort)) && !deadline.hasExpired())
        QTest::qWait(20);
    return listening(rfcPort) && listening(rawPort);
}

void NetPortTest::stopSer2net()
{
    if (!ser2net)
        return;
    if (ser2net->state() != QProcess::NotRunning) {
        ser2net->terminate();
        if (!ser2net->waitForFinished(5000)) {
            ser2net->kill();
            ser2net->waitForFinished(5000);
        }
    }
    delete ser2net;
    ser2net = nullptr;
}

void NetPortTest::chooseFromPortMenu(const char *action)
{
    bool chosen = false;
    QDeadlineTimer deadline(10000);
    std::function<void()> look = [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            if (auto *item = menu->findChild<QAction *>(QLatin1String(action))) {
                chosen = item->isEnabled();
                item->trigger();
            }
            menu->close();
        } else if (!deadline.hasExpired()) {
            QTimer::singleShot(10, look);
        }
    };
    QTimer::singleShot(0, look);
    auto *ports = get<QComboBox>("comboBox_serial");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            ports->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(ports, &event);
    QVERIFY2(chosen, action);
}

void NetPortTest::exchange(const QByteArray &bytes)
{
    QByteArray received;
    window->SetReceiveConsumer([&received](const QByteArray &chunk) { received += chunk; });
    QVERIFY(pty->write(bytes));
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), bytes.size(), 10000);
    window->SetReceiveConsumer({});
    QCOMPARE(received, bytes);
    // Out as a hex send does it, every byte value included.
    get<QCheckBox>("checkBox_CmdHexSend")->setChecked(true);
    get<QLineEdit>("lineEdit_main_cmd")->setText(QString::fromLatin1(bytes.toHex(' ')));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QCOMPARE(pty->readAtLeast(bytes.size(), 10000), bytes);
}

void NetPortTest::addedFromTheMenuStoredAndRemoved()
{
    auto *ports = get<QComboBox>("comboBox_serial");
    const QString entry = QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfcPort);
    answerNextInputDialog(entry);
    chooseFromPortMenu("action_addNetworkPort");
    QTRY_COMPARE(ports->currentText(), entry);
    QCOMPARE(ports->currentIndex(), ports->count() - 1);

    // Refused as tst_neturl has it, naming what was typed.
    const QString malformed = QStringLiteral("tcp://127.0.0.1 :22");
    answerNextInputDialog(malformed);
    auto box = acceptNextMessageBox();
    chooseFromPortMenu("action_addNetworkPort");
    QTRY_VERIFY(box->text.contains(malformed));
    QCOMPARE(QSettings(QStringLiteral("config.ini"), QSettings::IniFormat)
                 .value(QStringLiteral("/globalSetting/networkPorts")),
             QVariant(entry));

    // The scan lists a new system port before it, and never drops it.
    qputenv("SERMORA_EXTRA_PORTS", pty->slavePath().toLocal8Bit());
    QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
    QCOMPARE(ports->itemText(ports->count() - 1), entry);
    QCOMPARE(ports->itemText(ports->count() - 2), pty->slavePath());

    // A new window lists it from the store; removed, it is gone from both.
    delete window;
    window = new Widget;
    window->show();
    ports = get<QComboBox>("comboBox_serial");
    QCOMPARE(ports->findText(entry), ports->count() - 1);
    ports->setCurrentIndex(ports->findText(entry));
    chooseFromPortMenu("action_removeNetworkPort");
    QCOMPARE(ports->findText(entry), -1);
    QCOMPARE(QSettings(QStringLiteral("config.ini"), QSettings::IniFormat)
                 .value(QStringLiteral("/globalSetting/networkPorts"))
                 .toString(),
             QString());
}

void NetPortTest::rfc2217CarriesSettingsAndBytes()
{
    get<QComboBox>("comboBox_databits")->setCurrentText(QStringLiteral("7"));
    get<QComboBox>("comboBox_parity")->setCurrentText(QStringLiteral("Even"));
    get<QComboBox>("comboBox_stopbits")->setCurrentText(QStringLiteral("2"));
    // As --port and --baud ask; --baud is checked against this list before the window exists.
    auto *rates = get<QComboBox>("comboBox_baudrate");
    QStringList items;
    for (int i = 0; i < rates->count(); ++i)
        items << rates->itemText(i);
    QCOMPARE(items, BaudRateChoices);
    window->OpenFromCommandLine(QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfcPort),
                                QStringLiteral("115200"));
    QVERIFY(serialPort != nullptr);
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("Close"));

    // The pty driver keeps 8 data bits and no parity whatever it is told: those two are seen in
    // what ser2net acknowledged.
    termios line{};
    QTRY_VERIFY(tcgetattr(pty->slaveFd(), &line) == 0 && cfgetospeed(&line) == B115200 &&
                (line.c_cflag & CSTOPB));
    auto *port = qobject_cast<NetworkPort *>(serialPort);
    QVERIFY(port);
    QTRY_COMPARE(port->acknowledged().dataBits, QSerialPort::Data7);
    QTRY_COMPARE(port->acknowledged().parity, QSerialPort::EvenParity);
    QTRY_COMPARE(port->acknowledged().baudRate, 115200);
    QVERIFY(port->inputLines().has_value());

    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("AT"));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QCOMPARE(pty->readAtLeast(2), QByteArray("AT"));
    QVERIFY(pty->write("\r\nOK\r\n"));
    QTRY_VERIFY(textDisplayBuffer.endsWith(QStringLiteral("OK\r\n")));

    exchange(everyByte());
}

void NetPortTest::serverGoneIsAnUnplugAndReconnects()
{
    get<QAction>("action_autoReopen")->setChecked(true);
    window->OpenFromCommandLine(QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfcPort), QString());
    QVERIFY(serialPort != nullptr);
    ModalWatch modals;
    stopSer2net();
    QTRY_VERIFY_WITH_TIMEOUT(serialPort == nullptr, 5000);
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("OPEN"));
    QVERIFY(get<QComboBox>("comboBox_serial")->isEnabled());

    QVERIFY(startSer2net());
    QTRY_VERIFY_WITH_TIMEOUT(serialPort != nullptr, 15000);
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("Close"));
    exchange("OK\r\n");
    QCOMPARE(modals.seen, QStringList());
}

void NetPortTest::rawTcpCarriesBytesOnly()
{
    window->OpenFromCommandLine(QStringLiteral("tcp://127.0.0.1:%1").arg(rawPort), QString());
    QVERIFY(serialPort != nullptr);
    exchange(everyByte());
    QVERIFY(!serialPort->inputLines().has_value());
    QCOMPARE(serialPort->setDataTerminalReady(false), Port::LineResult::Unsupported);
    QCOMPARE(serialPort->setBreakEnabled(true), Port::LineResult::Unsupported);
}

void NetPortTest::failedConnectShowsReason_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("reason");
    QTest::newRow("refused") << "refused"
                             << "Connection refused";
    QTest::newRow("unknown host") << "unknown"
                                  << "Host not found";
    QTest::newRow("silent server") << "silent" << Texts::ServerSilent();
}

void NetPortTest::failedConnectShowsReason()
{
    QFETCH(QString, server);
    QFETCH(QString, reason);
    // Accepts and never answers: no Telnet negotiation ever comes.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QString url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(freePort());
    if (server == QLatin1String("unknown"))
        url = QStringLiteral("rfc2217://nosuch.invalid:2217");
    else if (server == QLatin1String("silent"))
        url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.serverPort());
    auto box = acceptNextMessageBox(10000);
    QElapsedTimer clock;
    clock.start();
    window->OpenFromCommandLine(url, QString());
    QVERIFY(serialPort == nullptr);
    QTRY_VERIFY(!box->text.isEmpty());
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(box->informativeText.startsWith(reason), qPrintable(box->informativeText));
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("OPEN"));
    QVERIFY(get<QPushButton>("pushButton_serialOpen")->isEnabled());
}

QTEST_MAIN(NetPortTest)
#include "tst_netport.moc"
