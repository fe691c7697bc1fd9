#include "app/globals.h"
#include "app/widget.h"
#include "serial/trace.h"
#include "support/configfile.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/ordinaryuser.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBrowser>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QString noPortText = QStringLiteral("无法发送文件！\r\n请先配置并打开串口！");
const QString unopenableText =
    QStringLiteral("无法打开文件！\r\n请检查文件是否存在或有无读取权限！");

QByteArray pattern(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(char('A' + i % 26));
    return bytes;
}

} // namespace

class SendFileTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void sendsFileInPacedBlocks_data();
    void sendsFileInPacedBlocks();
    void closingPortEndsTransfer();
    void unopenableFileWarnsAndSendsNothing_data();
    void unopenableFileWarnsAndSendsNothing();
    void noPortOrNoFileWarns();
    void choosingFileResetsBar();

private:
    bool openAt(const QString &baud);
    // Chooses the file through the path button and its dialog.
    void choose(const QString &path);
    // Presses the send button, recording each bar value together with whether the button was
    // enabled at that moment.
    void send();

    QProgressBar *bar = nullptr;
    QPushButton *pathButton = nullptr;
    QPushButton *sendButton = nullptr;
    QList<int> barValues;
    QList<bool> buttonEnabledAtValue;
};

void SendFileTest::init()
{
    WindowTest::init();
    bar = get<QProgressBar>("progressBar");
    pathButton = get<QPushButton>("pushButton_send_file_path");
    sendButton = get<QPushButton>("pushButton_send_file");
    barValues.clear();
    buttonEnabledAtValue.clear();
    connect(bar, &QProgressBar::valueChanged, this, [this](int value) {
        barValues.append(value);
        buttonEnabledAtValue.append(sendButton->isEnabled());
    });
}

bool SendFileTest::openAt(const QString &baud)
{
    get<QComboBox>("comboBox_baudrate")->setCurrentText(baud);
    return openPort();
}

void SendFileTest::choose(const QString &path)
{
    auto seen = answerNextFileDialog(path);
    pathButton->click();
    QVERIFY(seen->shown);
    QCOMPARE(pathButton->text(), path);
}

void SendFileTest::send()
{
    barValues.clear();
    buttonEnabledAtValue.clear();
    sendButton->click();
}

void SendFileTest::sendsFileInPacedBlocks_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<bool>("quiet");

    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(char(b));
    QTest::newRow("288 bytes in two blocks")
        << "115200" << pattern(288) << QList<int>{50, 100} << false;
    // 144 % after the one short block is beyond the bar's range and leaves it alone.
    QTest::newRow("100 bytes in one block") << "115200" << pattern(100) << QList<int>{100} << false;
    QTest::newRow("empty file") << "115200" << QByteArray() << QList<int>{100} << false;
    QTest::newRow("every byte value") << "115200" << everyByte << QList<int>{56, 100} << false;
    QTest::newRow("300 baud, single bytes")
        << "300" << pattern(5) << QList<int>{20, 40, 60, 80, 100} << false;
    QTest::newRow("1200 baud, single bytes")
        << "1200" << pattern(4) << QList<int>{25, 50, 75, 100} << false;
    QList<int> everyFifth;
    for (int value = 5; value <= 100; value += 5)
        everyFifth << value;
    QTest::newRow("9600 baud, 20 blocks of 12 bytes")
        << "9600" << pattern(240) << everyFifth << false;
    // As started from the menu: a trace that is off must not take the write with it.
    QTest::newRow("data traces off") << "115200" << pattern(288) << QList<int>{50, 100} << true;
}

void SendFileTest::sendsFileInPacedBlocks()
{
    QFETCH(QString, baud);
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, values);
    QFETCH(bool, quiet);

    if (quiet)
        QLoggingCategory::setFilterRules(QLatin1String(QuietTraceRules));
    const auto allTraces = qScopeGuard([] { QLoggingCategory::setFilterRules(QString()); });
    // Sent commands would be shown; file blocks never are.
    get<QCheckBox>("checkBox_sendlog_record")->setChecked(true);
    QVERIFY(openAt(baud));
    choose(writeFile(QStringLiteral("payload.bin"), content));

    // A transfer that cannot finish on its own fails here instead of hanging the run.
    auto *openButton = get<QPushButton>("pushButton_serialOpen");
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, openButton, &QPushButton::click);
    watchdog.start(20000);

    // The pace, one block per 50 ms, and the processor time it takes are bench_sendfile's
    // figures.
    send();
    QVERIFY(watchdog.isActive());
    watchdog.stop();

    QCOMPARE(barValues, values);
    QVERIFY(!buttonEnabledAtValue.contains(true));
    QVERIFY(sendButton->isEnabled());
    QCOMPARE(bar->value(), 100);
    QCOMPARE(pty->readAtLeast(content.size()), content);
    QCoreApplication::processEvents();
    QVERIFY(pty->readAvailable().isEmpty());
    QVERIFY(get<QTextBrowser>("textBrowser")->toPlainText().isEmpty());
}

void SendFileTest::closingPortEndsTransfer()
{
    // 12-byte blocks: the whole file would take five seconds.
    QVERIFY(openAt(QStringLiteral("9600")));
    const QByteArray content = pattern(1200);
    choose(writeFile(QStringLiteral("long.txt"), content));
    auto *openButton = get<QPushButton>("pushButton_serialOpen");
    // Close from the event loop during the pause after the first block, as a user click would.
    connect(bar, &QProgressBar::valueChanged, this, [openButton](int value) {
        if (value < 100 && serialPort)
            QTimer::singleShot(0, openButton, &QPushButton::click);
    });

    send();
    QVERIFY(!serialPort);
    QCOMPARE(barValues, (QList<int>{1, 100}));
    QVERIFY(sendButton->isEnabled());
    const QByteArray received = pty->readAvailable();
    QVERIFY(received.size() <= 12);
    QVERIFY(content.startsWith(received));
}

void SendFileTest::unopenableFileWarnsAndSendsNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("removed after choosing") << "missing";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("no read permission") << "unreadable";
}

void SendFileTest::unopenableFileWarnsAndSendsNothing()
{
    QFETCH(QString, kind);
    const bool unreadable = kind == QLatin1String("unreadable");
    // The unreadable file is the ordinary user's own, as a user's file would be.
    OrdinaryUserFolder folder;
    const QString path = writeFile(unreadable ? folder.filePath(QStringLiteral("gone.txt"))
                                              : QStringLiteral("gone.txt"),
                                   pattern(50));
    choose(path);
    if (kind == QLatin1String("missing")) {
        QVERIFY(QFile::remove(path));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
    } else {
        QVERIFY(handToOrdinaryUser(path, S_IWUSR));
    }
    QVERIFY(openAt(QStringLiteral("115200")));
    bar->setValue(37);

    auto seen = acceptNextMessageBox();
    if (unreadable) {
        AsOrdinaryUser user;
        if (!user.isOrdinary())
            QSKIP("root cannot take an ordinary user's ids here");
        send();
    } else {
        send();
    }
    QCOMPARE(seen->title, QStringLiteral("告警"));
    QCOMPARE(seen->text, unopenableText);
    QCOMPARE(bar->value(), 37);
    QVERIFY(barValues.isEmpty());
    QVERIFY(sendButton->isEnabled());
    QCoreApplication::processEvents();
    QVERIFY(pty->readAvailable().isEmpty());
}

void SendFileTest::noPortOrNoFileWarns()
{
    // No file chosen yet, with a port open.
    QVERIFY(openAt(QStringLiteral("115200")));
    bar->setValue(37);
    auto seen = acceptNextMessageBox();
    send();
    QCOMPARE(seen->text, noPortText);

    // A file chosen, with no port open.
    get<QPushButton>("pushButton_serialOpen")->click();
    QVERIFY(!serialPort);
    choose(writeFile(QStringLiteral("ready.txt"), pattern(10)));
    bar->setValue(37);
    seen = acceptNextMessageBox();
    send();
    QCOMPARE(seen->title, QStringLiteral("告警"));
    QCOMPARE(seen->text, noPortText);

    QCOMPARE(bar->value(), 37);
    QVERIFY(sendButton->isEnabled());
    QCoreApplication::processEvents();
    QVERIFY(pty->readAvailable().isEmpty());
}

void SendFileTest::choosingFileResetsBar()
{
    const QString path = writeFile(QStringLiteral("chosen.bin"), pattern(20));
    bar->setValue(42);
    QWidget *parentSeen = nullptr;
    QStringList filters;
    QString folder;
    auto seen = answerNextModalOf<QFileDialog>([&](QFileDialog *dialog) {
        parentSeen = dialog->parentWidget();
        filters = dialog->nameFilters();
        folder = dialog->directory().absolutePath();
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
    pathButton->click();
    QCOMPARE(seen->className, QStringLiteral("QFileDialog"));
    QCOMPARE(seen->title, QStringLiteral("选择文件"));
    QCOMPARE(parentSeen, static_cast<QWidget *>(window));
    QCOMPARE(filters, QStringList{QStringLiteral("所有文件(*.*)")});
    QCOMPARE(folder, QDir::currentPath());
    QCOMPARE(pathButton->text(), path);
    QCOMPARE(bar->value(), 0);

    // A cancelled choice keeps both the path and the bar.
    bar->setValue(30);
    seen = answerNextModal([](QWidget *modal) { modal->close(); });
    pathButton->click();
    QCOMPARE(seen->className, QStringLiteral("QFileDialog"));
    QCOMPARE(pathButton->text(), path);
    QCOMPARE(bar->value(), 30);
}

QTEST_MAIN(SendFileTest)
#include "tst_sendfile.moc"
