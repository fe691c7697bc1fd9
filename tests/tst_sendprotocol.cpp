// The file row's protocol sends through the window: to lrzsz's receivers, relayed from the pty's
// master side over pipes, and to a receiver the test plays itself for the ends other than
// success.
#include "app/globals.h"
#include "app/widget.h"
#include "support/configfile.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/ptyrelay.h"
#include "support/windowtest.h"
#include "transfer/xmodem.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

const QString sendText = QStringLiteral("发送文件");
const QString cancelText = QStringLiteral("取消发送");
const QString unopenableBox =
    QStringLiteral("告警|无法打开文件！\r\n请检查文件是否存在或有无读取权限！");

// Every byte value, the protocol's own among them, in an order that repeats every 251 bytes.
QByteArray content(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

} // namespace

class SendProtocolTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void sendsToLrzsz_data();
    void sendsToLrzsz();
    void endsOtherThanSuccess_data();
    void endsOtherThanSuccess();
    void unopenableFileIsRefusedAtTheClick();
    void choiceStartsRaw();

private:
    // Opens the port and chooses `path` and `protocol` in the file row.
    void prepare(const QString &path, const QString &protocol);
    QString consoleText() const { return get<QTextBrowser>("textBrowser")->toPlainText(); }

    QPushButton *sendButton = nullptr;
};

void SendProtocolTest::init()
{
    WindowTest::init();
    sendButton = get<QPushButton>("pushButton_send_file");
}

void SendProtocolTest::prepare(const QString &path, const QString &protocol)
{
    QVERIFY(openPort());
    auto seen = answerNextFileDialog(path);
    get<QPushButton>("pushButton_send_file_path")->click();
    QVERIFY(seen->shown);
    get<QComboBox>("comboBox_sendProtocol")->setCurrentText(protocol);
    QCOMPARE(get<QComboBox>("comboBox_sendProtocol")->currentText(), protocol);
}

void SendProtocolTest::sendsToLrzsz_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("size");
    // What the XMODEM receiver keeps: whole blocks, padding and all.
    QTest::addColumn<int>("kept");

    QTest::newRow("XMODEM checksum")
        << "XMODEM" << QStringList{"-q", "received.bin"} << 3000 << 3072;
    QTest::newRow("XMODEM-1K CRC")
        << "XMODEM-1K" << QStringList{"-q", "-c", "received.bin"} << 5000 << 5120;
    QTest::newRow("YMODEM, 256 KiB") << "YMODEM" << QStringList{"-q"} << 262144 << 262144;
}

void SendProtocolTest::sendsToLrzsz()
{
    QFETCH(QString, protocol);
    QFETCH(QStringList, arguments);
    QFETCH(int, size);
    QFETCH(int, kept);

    const bool ymodem = protocol == QLatin1String("YMODEM");
    const QString program = QStandardPaths::findExecutable(ymodem ? "rb" : "rx");
    if (program.isEmpty())
        QFAIL("lrzsz's rx and rb are missing (scripts/setup.sh installs lrzsz)");
    const QByteArray bytes = content(size);
    prepare(writeFile(QStringLiteral("image.bin"), bytes), protocol);

    QTemporaryDir dir;
    QProcess receiver;
    receiver.setWorkingDirectory(dir.path());
    receiver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    PtyRelay relay(*pty, receiver);
    receiver.start(program, arguments);
    QVERIFY(receiver.waitForStarted(10000));
    ModalWatch boxes;
    sendButton->click();
    QCOMPARE(sendButton->text(), cancelText);

    qRegisterMetaType<QProcess::ExitStatus>();
    QSignalSpy exited(&receiver, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    QVERIFY(exited.wait(120000));
    QCOMPARE(receiver.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(sendButton->text(), sendText, 20000);
    QVERIFY2(boxes.seen.isEmpty(), qPrintable(boxes.seen.join(", ")));
    QCOMPARE(get<QProgressBar>("progressBar")->value(), 100);
    QVERIFY(consoleText().contains(QStringLiteral("[%1] 已发送%2字节").arg(protocol).arg(size)));

    QFile received(QDir(dir.path()).filePath(ymodem ? "image.bin" : "received.bin"));
    QVERIFY(received.open(QIODevice::ReadOnly));
    const QByteArray got = received.readAll();
    QCOMPARE(got.size(), kept);
    QVERIFY(got.left(size) == bytes);
    QVERIFY(got.mid(size) == QByteArray(kept - size, Xmodem::Pad));

    // The console has the stream back.
    QVERIFY(pty->write("U-Boot> "));
    QTRY_VERIFY(consoleText().endsWith(QStringLiteral("U-Boot> ")));
}

void SendProtocolTest::endsOtherThanSuccess_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("box");

    QTest::newRow("the receiver cancels") << "receiver"
                                          << "接收方取消了传输"
                                          << "接收方取消了传输！\r\n请检查接收方后重新发送！";
    QTest::newRow("no answer")
        << "silent"
        << "接收方无应答"
        << "接收方无应答！\r\n请先在接收方启动接收（如U-Boot的loady）再发送！";
    QTest::newRow("the port closes") << "close"
                                     << "串口已关闭"
                                     << "串口已关闭，传输已停止！\r\n请重新打开串口后再发送！";
    QTest::newRow("no answer to a block")
        << "unanswered"
        << "重发次数过多"
        << "重发次数过多，传输已停止！\r\n请检查波特率和线路后重新发送！";
    // Only the console line.
    QTest::newRow("the user cancels") << "user"
                                      << "已取消"
                                      << "";
}

void SendProtocolTest::endsOtherThanSuccess()
{
    QFETCH(QString, end);
    QFETCH(QString, reason);
    QFETCH(QString, box);

    XmodemTimeouts timeouts;
    timeouts.startMs = 300;
    timeouts.blockMs = 100;
    timeouts.retries = 2;
    window->SetTransferTimeouts(timeouts);
    prepare(writeFile(QStringLiteral("image.bin"), content(4000)), QStringLiteral("XMODEM"));
    ModalWatch boxes;
    sendButton->click();
    QCOMPARE(sendButton->text(), cancelText);
    if (end != QLatin1String("silent")) {
        // The receiver asks for CRC and gets block 1.
        QVERIFY(pty->write("C"));
        const QByteArray block = pty->readAtLeast(133);
        QVERIFY(block.startsWith(QByteArray("\x01\x01\xFE")));
    }
    if (end == QLatin1String("receiver"))
        QVERIFY(pty->write("\x18\x18"));
    else if (end == QLatin1String("user"))
        sendButton->click();
    else if (end == QLatin1String("close"))
        get<QPushButton>("pushButton_serialOpen")->click();

    QTRY_COMPARE_WITH_TIMEOUT(sendButton->text(), sendText, 10000);
    QVERIFY(consoleText().contains(QStringLiteral("[XMODEM] 发送中止：") + reason));
    const QStringList expected =
        box.isEmpty() ? QStringList() : QStringList{QStringLiteral("告警|") + box};
    QTRY_COMPARE(boxes.seen, expected);
    if (end == QLatin1String("user"))
        QVERIFY(pty->readAtLeast(3).endsWith(QByteArray(3, Xmodem::Can)));

    // Nothing of the transfer is left: the port (opened again if it closed) shows what comes,
    // and nothing more goes out.
    if (!serialPort)
        QVERIFY(openPort());
    pty->readAvailable();
    QVERIFY(pty->write("C\x06 back"));
    QTRY_VERIFY(consoleText().endsWith(QStringLiteral(" back")));
    QVERIFY(pty->readAvailable().isEmpty());
    QCOMPARE(boxes.seen, expected);
}

// Chosen as a file, then made a folder: the file dialog would not choose it. tst_xmodem has the
// other files that do not open.
void SendProtocolTest::unopenableFileIsRefusedAtTheClick()
{
    const QString path = writeFile(QStringLiteral("image.bin"), content(10));
    prepare(path, QStringLiteral("YMODEM"));
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    ModalWatch boxes;
    sendButton->click();
    QCOMPARE(boxes.seen, QStringList{unopenableBox});
    QCOMPARE(sendButton->text(), sendText);
    // Not waiting for a receiver: its request reaches the console.
    QVERIFY(pty->write("C"));
    QTRY_COMPARE(consoleText(), QStringLiteral("C"));
    QVERIFY(pty->readAvailable().isEmpty());
}

// tst_config stores and restores it with the other settings.
void SendProtocolTest::choiceStartsRaw()
{
    auto *choice = get<QComboBox>("comboBox_sendProtocol");
    QCOMPARE(choice->currentText(), QStringLiteral("RAW"));
    QCOMPARE(choice->size(), QSize(90, 30));
}

QTEST_MAIN(SendProtocolTest)
#include "tst_sendprotocol.moc"
