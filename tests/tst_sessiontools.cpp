#include "app/globals.h"
#include "app/widget.h"
#include "serial/console.h"
#include "serial/lineending.h"
#include "support/configfile.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

// The tools of a long session in the window: finding in the console, pausing it, the command
// line's history and the line ending.
class SessionToolsTest : public WindowTest
{
    Q_OBJECT

private slots:
    void findHighlightsAndMovesWithoutChangingTheConsole();
    void pausedViewKeepsItsLinesAcrossAppendsAndTrims();
    void historyStepsApartForTextAndHexAndSurvivesARestart();
    void lineEndingReachesEntryRowAndBatch();

private:
    QString topLine() const
    {
        return get<QTextBrowser>("textBrowser")->cursorForPosition(QPoint(0, 0)).block().text();
    }
};

void SessionToolsTest::findHighlightsAndMovesWithoutChangingTheConsole()
{
    window->ShowData("one Ab two\r\nab three\r\n", true);
    window->ShowData("x aB\r\n", true);
    auto *console = get<QTextBrowser>("textBrowser");
    const QString text = console->toPlainText();
    const QString buffer = textDisplayBuffer;
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    auto *bar = get<QWidget>("widget_findBar");
    auto *find = get<QLineEdit>("lineEdit_find");
    QVERIFY(bar->isVisible());
    QTRY_VERIFY(find->hasFocus());
    QTest::keyClicks(find, QStringLiteral("ab"));
    auto *count = get<QLabel>("label_find_count");
    QCOMPARE(count->text(), QStringLiteral("1/3"));
    QCOMPARE(console->extraSelections().size(), 3);

    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(count->text(), QStringLiteral("2/3"));
    QCOMPARE(console->textCursor().position(), text.indexOf(QStringLiteral("ab")));
    QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(count->text(), QStringLiteral("3/3"));
    QTest::keyClick(window, Qt::Key_F3);
    QCOMPARE(count->text(), QStringLiteral("1/3"));
    get<QCheckBox>("checkBox_find_case")->setChecked(true);
    QCOMPARE(count->text(), QStringLiteral("1/1"));

    // A chunk that arrives counts, and leaves the view where it is.
    const int value = console->verticalScrollBar()->value();
    window->ShowData("more ab\r\n", true);
    QCOMPARE(count->text(), QStringLiteral("1/2"));
    QCOMPARE(console->verticalScrollBar()->value(), value);

    QTest::keyClick(find, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QVERIFY(console->extraSelections().isEmpty());
    QCOMPARE(console->toPlainText(), text + QStringLiteral("more ab\n"));
    QCOMPARE(textDisplayBuffer, buffer + QStringLiteral("more ab\r\n"));
}

void SessionToolsTest::pausedViewKeepsItsLinesAcrossAppendsAndTrims()
{
    int next = 0;
    const auto lines = [&next](int count) {
        QByteArray chunk;
        for (int i = 0; i < count; ++i)
            chunk += "line " + QByteArray::number(next++).rightJustified(5, '0') + "\n";
        return chunk;
    };
    // Close to the hex rendition's limit, which these lines reach first.
    for (int part = 0; part < 85; ++part)
        window->ShowData(lines(100), true);
    auto *console = get<QTextBrowser>("textBrowser");
    QScrollBar *bar = console->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    auto *pause = window->findChild<QAction *>(QStringLiteral("action_pauseScrolling"));
    QVERIFY(pause->isChecked());
    const QString top = topLine();

    // Enough to pass the limit: the oldest parts go, the line in view stays.
    for (int part = 0; part < 20; ++part) {
        window->ShowData(lines(100), true);
        QCOMPARE(topLine(), top);
    }
    QVERIFY(textDisplayBuffer.size() <= TextBufferLimit);
    QVERIFY(!textDisplayBuffer.startsWith(QStringLiteral("line 00000")));
    QCOMPARE(console->toPlainText(), textDisplayBuffer);

    // Back at the end, the console follows again.
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QVERIFY(!pause->isChecked());
    window->ShowData(lines(100), true);
    QTextCursor end(console->document());
    end.movePosition(QTextCursor::End);
    QVERIFY(console->viewport()->rect().contains(console->cursorRect(end)));
}

void SessionToolsTest::historyStepsApartForTextAndHexAndSurvivesARestart()
{
    QVERIFY(openPort());
    auto *line = get<QLineEdit>("lineEdit_main_cmd");
    auto *hex = get<QCheckBox>("checkBox_CmdHexSend");
    const auto send = [&](const QString &text) {
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
    };
    const auto up = [&] {
        QTest::keyClick(line, Qt::Key_Up);
        return line->text();
    };
    const auto down = [&] {
        QTest::keyClick(line, Qt::Key_Down);
        return line->text();
    };
    send(QStringLiteral("a"));
    send(QStringLiteral("b"));
    send(QStringLiteral("b"));
    hex->setChecked(true);
    send(QStringLiteral("0D"));
    hex->setChecked(false);
    cmdLineEditList[0]->setText(QStringLiteral("row"));
    sendButtonList[0]->click();

    // The line still holds "b", the newest: Up goes to the one before.
    line->setText(QStringLiteral("b"));
    QCOMPARE(up(), QStringLiteral("a"));
    QCOMPARE(up(), QStringLiteral("a"));
    QCOMPARE(down(), QStringLiteral("b"));
    hex->setChecked(true);
    line->clear();
    QCOMPARE(up(), QStringLiteral("0D"));

    get<QPushButton>("pushButton_serialOpen")->click();
    delete window;
    window = new Widget;
    window->show();
    line = get<QLineEdit>("lineEdit_main_cmd");
    QVERIFY(get<QCheckBox>("checkBox_CmdHexSend")->isChecked());
    QCOMPARE(up(), QStringLiteral("0D"));
    get<QCheckBox>("checkBox_CmdHexSend")->setChecked(false);
    line->clear();
    QCOMPARE(up(), QStringLiteral("b"));
    QCOMPARE(up(), QStringLiteral("a"));
}

// Every choice takes the same way through the window; tst_history has each one's bytes.
void SessionToolsTest::lineEndingReachesEntryRowAndBatch()
{
    QVERIFY(openPort());
    auto *group = window->findChild<QActionGroup *>(QStringLiteral("actionGroup_lineEnding"));
    QAction *cr = nullptr;
    for (QAction *action : group->actions())
        if (action->data().toString() == QLatin1String("cr"))
            cr = action;
    QVERIFY(cr);
    cr->trigger();
    auto *enter = get<QCheckBox>("checkBox_CmdWithEnter");
    QVERIFY(enter->toolTip().contains(cr->text()));
    QCOMPARE(storedSettings().values.value(LineEndingKey), QStringLiteral("cr"));

    enter->setChecked(true);
    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("entry"));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QCOMPARE(pty->readAtLeast(6), QByteArray("entry\r"));

    selectCheckBoxList[0]->setChecked(true);
    enterCheckBoxList[0]->setChecked(true);
    cmdLineEditList[0]->setText(QStringLiteral("row"));
    sendButtonList[0]->click();
    QCOMPARE(pty->readAtLeast(4), QByteArray("row\r"));

    get<QLineEdit>("lineEdit_RunTimes")->setText(QStringLiteral("1"));
    get<QLineEdit>("lineEdit_Interval")->setText(QStringLiteral("0"));
    QTimer::singleShot(0, get<QPushButton>("pushButton_run"), &QPushButton::click);
    QByteArray batch;
    QTRY_COMPARE_WITH_TIMEOUT((batch += pty->readAvailable()), QByteArray("row\r"), 10000);
}

QTEST_MAIN(SessionToolsTest)
#include "tst_sessiontools.moc"
