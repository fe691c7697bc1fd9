// The console's context-menu options over pty pairs: ANSI colours, and reopening a port after an
// unplug.

#include "app/globals.h"
#include "app/widget.h"
#include "serial/ansi.h"
#include "serial/port.h"
#include "support/configfile.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

namespace {

const QString coloursOption = QStringLiteral("显示ANSI颜色");
const QString reopenOption = QStringLiteral("断开后自动重连");

QString stored(const char *key)
{
    return storedSettings().values.value(QLatin1String(key));
}

// The text colour of the console's character at `position`; 0 for the console's own.
QRgb colourAt(QTextBrowser *console, int position)
{
    QTextCursor cursor(console->document());
    cursor.setPosition(position + 1);
    const QTextCharFormat format = cursor.charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color().rgb() : 0;
}

} // namespace

class OptionsTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuOffersOptionsThatSurviveARestart();
    void colouredLineShownInColourWithoutEscapes();
    void reopensAfterUnplugWithSameParameters();
    void reopenCancelled_data();
    void reopenCancelled();
    void unplugEndsRunForGood_data();
    void unplugEndsRunForGood();

private:
    QAction *option(const char *name) const { return get<QAction>(name); }
    // Opens the console's context menu, lets `use` look at it and closes it. False when no menu
    // came up.
    bool withConsoleMenu(const std::function<void(QMenu *)> &use);
    // Lists `link` (a symlink to the pty's slave) and `others`, and opens the link.
    void plugIn(const QStringList &others = {});
    // Removes the link and waits for the scan to close the session.
    void unplug();
    // A file that exists but is no terminal: listed as a port, it cannot be opened.
    QString notATerminal(const char *name);

    QTemporaryDir *links = nullptr;
    QString link;
};

void OptionsTest::init()
{
    WindowTest::init();
    links = new QTemporaryDir;
    link = links->filePath(QStringLiteral("module"));
}

void OptionsTest::cleanup()
{
    WindowTest::cleanup();
    delete links;
    links = nullptr;
}

void OptionsTest::plugIn(const QStringList &others)
{
    QVERIFY(QFile::link(pty->slavePath(), link));
    qputenv("SERMORA_EXTRA_PORTS", (QStringList{link} + others).join(':').toLocal8Bit());
    QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
    auto *ports = get<QComboBox>("comboBox_serial");
    ports->setCurrentIndex(ports->findText(link));
    get<QPushButton>("pushButton_serialOpen")->click();
    QVERIFY(serialPort != nullptr);
}

void OptionsTest::unplug()
{
    QVERIFY(QFile::remove(link));
    QTRY_VERIFY_WITH_TIMEOUT(serialPort == nullptr, 5000);
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("OPEN"));
}

QString OptionsTest::notATerminal(const char *name)
{
    const QString path = links->filePath(QString::fromLatin1(name));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) ? path : QString();
}

bool OptionsTest::withConsoleMenu(const std::function<void(QMenu *)> &use)
{
    bool shown = false;
    QDeadlineTimer deadline(10000);
    std::function<void()> look = [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            shown = true;
            use(menu);
            menu->close();
        } else if (!deadline.hasExpired()) {
            QTimer::singleShot(10, look);
        }
    };
    QTimer::singleShot(0, look);
    auto *console = get<QTextBrowser>("textBrowser");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                            console->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(console->viewport(), &event);
    return shown;
}

void OptionsTest::menuOffersOptionsThatSurviveARestart()
{
    QStringList entries;
    QVERIFY(withConsoleMenu([&](QMenu *menu) {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                entries << QStringLiteral("|");
            else if (action->isCheckable())
                entries << action->text() + (action->isChecked() ? " [x]" : " [ ]");
            else
                entries << action->objectName();
        }
        // Checked from the menu, as a user does.
        menu->actions().last()->trigger();
    }));
    // The toolkit's own entries stay, then the two options, off by default.
    QVERIFY2(entries.indexOf(QStringLiteral("edit-copy")) >= 0 &&
                 entries.indexOf(QStringLiteral("select-all")) == entries.size() - 4,
             qPrintable(entries.join(QLatin1Char(','))));
    QCOMPARE(entries.mid(entries.size() - 3),
             (QStringList{"|", coloursOption + " [ ]", reopenOption + " [ ]"}));
    QCOMPARE(stored("/globalSetting/autoReopen"), QStringLiteral("true"));
    QCOMPARE(stored("/globalSetting/ansiColours"), QString());

    option("action_ansiColours")->setChecked(true);
    option("action_autoReopen")->setChecked(false);
    QCOMPARE(stored("/globalSetting/ansiColours"), QStringLiteral("true"));
    QCOMPARE(stored("/globalSetting/autoReopen"), QStringLiteral("false"));

    // A restart restores both and writes back what it read.
    delete window;
    window = new Widget;
    QVERIFY(option("action_ansiColours")->isChecked());
    QVERIFY(!option("action_autoReopen")->isChecked());
    QCOMPARE(stored("/globalSetting/ansiColours"), QStringLiteral("true"));
    QCOMPARE(stored("/globalSetting/autoReopen"), QStringLiteral("false"));
}

void OptionsTest::colouredLineShownInColourWithoutEscapes()
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("colours.log"));
    option("action_ansiColours")->setChecked(true);
    QVERIFY(openPort());
    answerNextFileDialog(logPath);
    get<QPushButton>("pushButton_log_filepath")->click();
    get<QPushButton>("pushButton_log")->click();
    QVERIFY(logRecording);
    auto *console = get<QTextBrowser>("textBrowser");

    // The reset between CR and LF must not make two line breaks of them.
    QVERIFY(pty->write("\x1b[0;31mE (42) app: failed\r\x1b[0m\nok\r\n"));
    QTRY_COMPARE(textDisplayBuffer, QStringLiteral("E (42) app: failed\r\nok\r\n"));
    QCOMPARE(console->toPlainText(), QStringLiteral("E (42) app: failed\nok\n"));
    QCOMPARE(colourAt(console, 0), AnsiPaletteColour(1));
    QCOMPARE(colourAt(console, 19), QRgb(0));
    // The hex view still shows every byte.
    QVERIFY(hexDisplayBuffer.startsWith(QStringLiteral("1B 5B 30 3B 33 31 6D 45 20")));

    // Back from the hex view, the text is in colour again.
    QTest::mouseClick(get<QCheckBox>("checkBox_ShowHex"), Qt::LeftButton);
    QTest::mouseClick(get<QCheckBox>("checkBox_ShowHex"), Qt::LeftButton);
    QCOMPARE(console->toPlainText(), QStringLiteral("E (42) app: failed\nok\n"));
    QCOMPARE(colourAt(console, 0), AnsiPaletteColour(1));
    QCOMPARE(colourAt(console, 19), QRgb(0));

    // Turned off with a sequence begun: from the next chunk on, escapes show as text, and what
    // follows green text does not take on its colour.
    QVERIFY(pty->write("\x1b[32mG\x1b"));
    QTRY_VERIFY(textDisplayBuffer.endsWith(QLatin1Char('G')));
    option("action_ansiColours")->setChecked(false);
    QVERIFY(pty->write("[0mx\r\n"));
    QTRY_VERIFY(textDisplayBuffer.endsWith(QStringLiteral("G\x1b[0mx\r\n")));
    const int g = console->toPlainText().lastIndexOf(QLatin1Char('G'));
    QCOMPARE(colourAt(console, g), AnsiPaletteColour(2));
    QCOMPARE(colourAt(console, g + 1), QRgb(0));
    QCOMPARE(colourAt(console, g + 5), QRgb(0));

    // A sequence begun when the port closes is text: it will not be completed now.
    option("action_ansiColours")->setChecked(true);
    QVERIFY(pty->write("\x1b[3"));
    QTRY_VERIFY(hexDisplayBuffer.endsWith(QStringLiteral("1B 5B 33")));
    QVERIFY(textDisplayBuffer.endsWith(QStringLiteral("G\x1b[0mx\r\n")));
    get<QPushButton>("pushButton_serialOpen")->click();
    QVERIFY(textDisplayBuffer.endsWith(QStringLiteral("G\x1b[0mx\r\n\x1b[3")));
    QVERIFY(console->toPlainText().endsWith(QStringLiteral("\x1b[3")));

    // The log holds what the console shows.
    get<QPushButton>("pushButton_log")->click();
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()), textDisplayBuffer);
}

void OptionsTest::reopensAfterUnplugWithSameParameters()
{
    option("action_autoReopen")->setChecked(true);
    get<QComboBox>("comboBox_baudrate")->setCurrentText(QStringLiteral("115200"));
    get<QComboBox>("comboBox_databits")->setCurrentText(QStringLiteral("7"));
    get<QComboBox>("comboBox_parity")->setCurrentText(QStringLiteral("Even"));
    get<QComboBox>("comboBox_stopbits")->setCurrentText(QStringLiteral("2"));
    plugIn();
    ModalWatch modals;
    unplug();

    // Back before it can be opened: tried without a box, and tried again at the next scans.
    QVERIFY(QFile::link(notATerminal("blocked"), link));
    QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
    QVERIFY(serialPort == nullptr);
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(pty->slavePath(), link));
    QTRY_VERIFY_WITH_TIMEOUT(serialPort != nullptr, 5000);

    QCOMPARE(get<QComboBox>("comboBox_serial")->currentText(), link);
    QCOMPARE(get<QPushButton>("pushButton_serialOpen")->text(), QStringLiteral("Close"));
    QVERIFY(!get<QComboBox>("comboBox_baudrate")->isEnabled());
    QCOMPARE(serialPort->lineSettings().baudRate, 115200);
    QCOMPARE(serialPort->lineSettings().dataBits, QSerialPort::Data7);
    QCOMPARE(serialPort->lineSettings().parity, QSerialPort::EvenParity);
    QCOMPARE(serialPort->lineSettings().stopBits, QSerialPort::TwoStop);
    QVERIFY(pty->write("OK\r\n"));
    QTRY_VERIFY(textDisplayBuffer.endsWith(QStringLiteral("OK\r\n")));
    QCOMPARE(modals.seen, QStringList());
}

void OptionsTest::reopenCancelled_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OPEN pressed") << "open";
    QTest::newRow("another port chosen") << "choose";
    QTest::newRow("option turned off") << "off";
}

void OptionsTest::reopenCancelled()
{
    QFETCH(QString, how);
    option("action_autoReopen")->setChecked(true);
    plugIn({notATerminal("a"), notATerminal("b")});
    ModalWatch modals;
    unplug();
    auto *ports = get<QComboBox>("comboBox_serial");
    if (how == QLatin1String("open")) {
        // "a" took the link's place in the selector; it cannot be opened.
        get<QPushButton>("pushButton_serialOpen")->click();
        QCOMPARE(modals.seen.size(), 1);
    } else if (how == QLatin1String("choose")) {
        QTest::keyClick(ports, Qt::Key_Down);
        QCOMPARE(ports->currentText(), links->filePath(QStringLiteral("b")));
    } else {
        option("action_autoReopen")->setChecked(false);
    }
    QVERIFY(QFile::link(pty->slavePath(), link));
    QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
    QVERIFY(ports->findText(link) >= 0);
    QVERIFY(serialPort == nullptr);
}

void OptionsTest::unplugEndsRunForGood_data()
{
    QTest::addColumn<bool>("batch");
    QTest::newRow("batch run") << true;
    QTest::newRow("file send") << false;
}

void OptionsTest::unplugEndsRunForGood()
{
    QFETCH(bool, batch);
    option("action_autoReopen")->setChecked(true);
    get<QComboBox>("comboBox_baudrate")->setCurrentText(QStringLiteral("115200"));
    QPushButton *start;
    if (batch) {
        for (int row : {1, 2}) {
            control<QCheckBox>(window, QStringLiteral("checkBox_selectList_%1").arg(row))
                ->setChecked(true);
            control<QLineEdit>(window, QStringLiteral("lineEdit_cmdList_%1").arg(row))
                ->setText(QStringLiteral("ROW%1").arg(row));
        }
        get<QLineEdit>("lineEdit_delayList_1")->setText(QStringLiteral("1500"));
        get<QLineEdit>("lineEdit_RunTimes")->setText(QStringLiteral("1"));
        start = get<QPushButton>("pushButton_run");
    } else {
        answerNextFileDialog(
            writeFile(links->filePath(QStringLiteral("blocks.bin")), QByteArray(8000, 'F')));
        get<QPushButton>("pushButton_send_file_path")->click();
        start = get<QPushButton>("pushButton_send_file");
    }
    plugIn();

    // Once the device has the first bytes, it is unplugged and back before the next step of the
    // run; the scans that close and reopen the session are called from the run's own waits.
    QByteArray before;
    bool reopened = false;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] {
        if (reopened)
            return;
        before += pty->readAvailable();
        if (before.isEmpty() || (batch && !before.endsWith("ROW1")))
            return;
        QFile::remove(link);
        QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
        // All the closed session wrote, so that only the reopened one's bytes are left.
        before += pty->readAvailable();
        QFile::link(pty->slavePath(), link);
        QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
        reopened = serialPort != nullptr;
    });
    tick.start(5);
    bool returned = false;
    QTimer::singleShot(0, start, [&] {
        start->click();
        returned = true;
    });
    QVERIFY(QTest::qWaitFor([&] { return returned; }, 60000));
    tick.stop();
    QVERIFY(reopened);

    // Whatever the session sends next comes after anything the run might still have sent.
    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("#END"));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QByteArray after;
    QTRY_VERIFY_WITH_TIMEOUT((after += pty->readAvailable()).endsWith("#END"), 10000);
    QCOMPARE(after, QByteArray("#END"));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    OptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_options.moc"
