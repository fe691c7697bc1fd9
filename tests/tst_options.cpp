// The console's context-menu options over pty pairs: ANSI colours, and reopening a port after an
// unplug.

#include "app/globals.h"
#include "app/widget.h"
#include "serial/ansi.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

namespace {

const QString kColours = QStringLiteral("显示ANSI颜色");
const QString kReopen = QStringLiteral("断开后自动重连");

QString stored(const char *key)
{
    settings->sync();
    return QSettings(QStringLiteral("config.ini"), QSettings::IniFormat)
        .value(QLatin1String(key))
        .toString();
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

class OptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuOffersOptionsThatSurviveARestart();
    void colouredLineShownInColourWithoutEscapes();

private:
    template <typename T> T *get(const char *name)
    {
        return control<T>(window, QString::fromLatin1(name));
    }
    QAction *option(const QString &text) const;
    // Opens the console's context menu, lets `use` look at it and closes it. False when no menu
    // came up.
    bool withConsoleMenu(const std::function<void(QMenu *)> &use);

    Widget *window = nullptr;
    PtyPair *pty = nullptr;
};

void OptionsTest::init()
{
    freshWorkingDirectory();
    qunsetenv("SERMORA_EXTRA_PORTS");
    textDisplayBuffer.clear();
    hexDisplayBuffer.clear();
    window = new Widget;
    window->show();
    pty = new PtyPair;
    QVERIFY(pty->isOpen());
}

void OptionsTest::cleanup()
{
    if (logRecording)
        get<QPushButton>("pushButton_log")->click();
    tearDownSession(window, pty);
    window = nullptr;
    pty = nullptr;
}

QAction *OptionsTest::option(const QString &text) const
{
    for (QAction *action : window->findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
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
            else if (!action->objectName().isEmpty())
                entries << action->objectName();
            else
                entries << action->text() + (action->isChecked() ? " [x]" : " [ ]");
        }
        // Checked from the menu, as a user does.
        menu->actions().last()->trigger();
    }));
    // The toolkit's own entries stay, then the two options, off by default.
    QVERIFY2(entries.indexOf(QStringLiteral("edit-copy")) >= 0 &&
                 entries.indexOf(QStringLiteral("select-all")) == entries.size() - 4,
             qPrintable(entries.join(QLatin1Char(','))));
    QCOMPARE(entries.mid(entries.size() - 3),
             (QStringList{"|", kColours + " [ ]", kReopen + " [ ]"}));
    QCOMPARE(stored("globalSetting/autoReopen"), QStringLiteral("true"));
    QCOMPARE(stored("globalSetting/ansiColours"), QString());

    option(kColours)->setChecked(true);
    option(kReopen)->setChecked(false);
    QCOMPARE(stored("globalSetting/ansiColours"), QStringLiteral("true"));
    QCOMPARE(stored("globalSetting/autoReopen"), QStringLiteral("false"));

    // A restart restores both and writes back what it read.
    delete window;
    window = new Widget;
    QVERIFY(option(kColours)->isChecked());
    QVERIFY(!option(kReopen)->isChecked());
    QCOMPARE(stored("globalSetting/ansiColours"), QStringLiteral("true"));
    QCOMPARE(stored("globalSetting/autoReopen"), QStringLiteral("false"));
}

void OptionsTest::colouredLineShownInColourWithoutEscapes()
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("colours.log"));
    option(kColours)->setChecked(true);
    QVERIFY(openOnPty(window, *pty));
    answerNextFileDialog(logPath);
    get<QPushButton>("pushButton_log_filepath")->click();
    get<QPushButton>("pushButton_log")->click();
    QVERIFY(logRecording);
    auto *console = get<QTextBrowser>("textBrowser");

    QVERIFY(pty->write("\x1b[0;31mE (42) app: failed\x1b[0m\r\nok\r\n"));
    QTRY_COMPARE(textDisplayBuffer, QStringLiteral("E (42) app: failed\r\nok\r\n"));
    QCOMPARE(console->toPlainText(), QStringLiteral("E (42) app: failed\nok\n"));
    QCOMPARE(colourAt(console, 0), AnsiPaletteColour(1));
    QCOMPARE(colourAt(console, 19), QRgb(0));
    // The hex view still shows every byte.
    QVERIFY(hexDisplayBuffer.startsWith(QStringLiteral("1B 5B 30 3B 33 31 6D 45 20")));

    // Back from the hex view, the text is in colour again.
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::mouseClick(get<QCheckBox>("checkBox_ShowHex"), Qt::LeftButton);
    QTest::mouseClick(get<QCheckBox>("checkBox_ShowHex"), Qt::LeftButton);
    QCOMPARE(console->toPlainText(), QStringLiteral("E (42) app: failed\nok\n"));
    QCOMPARE(colourAt(console, 0), AnsiPaletteColour(1));
    QCOMPARE(colourAt(console, 19), QRgb(0));

    // Turned off with a sequence begun: from the next chunk on, escapes show as text, and what
    // follows green text does not take on its colour.
    QVERIFY(pty->write("\x1b[32mG\x1b"));
    QTRY_VERIFY(textDisplayBuffer.endsWith(QLatin1Char('G')));
    option(kColours)->setChecked(false);
    QVERIFY(pty->write("[0mx\r\n"));
    QTRY_VERIFY(textDisplayBuffer.endsWith(QStringLiteral("G\x1b[0mx\r\n")));
    const int g = console->toPlainText().lastIndexOf(QLatin1Char('G'));
    QCOMPARE(colourAt(console, g), AnsiPaletteColour(2));
    QCOMPARE(colourAt(console, g + 1), QRgb(0));
    QCOMPARE(colourAt(console, g + 5), QRgb(0));

    // The log holds what the console shows.
    get<QPushButton>("pushButton_log")->click();
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()), textDisplayBuffer);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    OptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_options.moc"
