// The bottom bar's line strip over a pty whose modem lines the preload library plays
// (tests/CMakeLists.txt preloads it into this test).
#include "app/globals.h"
#include "app/widget.h"
#include "support/configfile.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/modemlines.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// How an indicator looks: lit, dim or struck through.
QString lookOf(QLabel *label)
{
    const QString sheet = label->styleSheet();
    if (sheet.contains(QLatin1String("line-through")))
        return QStringLiteral("unknown");
    return sheet.contains(QLatin1String("230")) ? QStringLiteral("lit") : QStringLiteral("dim");
}

// Chooses the toggle's pulse entry from its real context menu.
void pulse(QPushButton *toggle)
{
    QTimer::singleShot(0, [] {
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        menu->setActiveAction(menu->actions().first());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    emit toggle->customContextMenuRequested(QPoint(2, 2));
}

} // namespace

class ControlLinesTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void storedLinesAppliedRightAfterOpen();
    void togglesSetTheLine();
    void refusedLineKeepsTheToggleTruthful();
    void pulseInvertsForAMomentAndRestores();
    void breakHeldThenReleased();
    void indicatorsFollowTheDevice();
    void countersCountEachWay();
    void rtsIsTheDriversUnderHardwareFlow();

private:
    ModemLines lines;
};

void ControlLinesTest::init()
{
    QVERIFY2(lines.isLoaded(), "run through ctest, which preloads the modem-line library");
    lines.failLines({});
    lines.setInputs(false, false, false, false);
    WindowTest::init();
    lines.clear();
}

void ControlLinesTest::storedLinesAppliedRightAfterOpen()
{
    // DTR off holds an ESP32 out of reset; stored as the user left it.
    delete window;
    writeFile(QStringLiteral("config.ini"), "[globalSetting]\ndtr=false\nrts=maybe\n");
    window = new Widget;
    window->show();
    QVERIFY(!get<QPushButton>("pushButton_dtr")->isChecked());
    QVERIFY(get<QPushButton>("pushButton_rts")->isChecked());

    QVERIFY(openPort());
    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("AT"));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QCOMPARE(pty->readAtLeast(2), QByteArray("AT"));
    QTRY_COMPARE(lines.history(), QStringList({"OPEN", "DTR 0", "RTS 1", "TX 2"}));
}

void ControlLinesTest::togglesSetTheLine()
{
    auto *dtr = get<QPushButton>("pushButton_dtr");
    auto *rts = get<QPushButton>("pushButton_rts");
    // With no port open a click only chooses what the next open applies.
    rts->click();
    QVERIFY(!rts->isChecked());
    QCOMPARE(storedSettings().values.value("/globalSetting/rts"), QStringLiteral("false"));
    QVERIFY(openPort());
    lines.clear();
    dtr->click();
    rts->click();
    QCOMPARE(lines.history(), QStringList({"DTR 0", "RTS 1"}));
    QVERIFY(!dtr->isChecked());
    QVERIFY(rts->isChecked());
    QCOMPARE(storedSettings().values.value("/globalSetting/dtr"), QStringLiteral("false"));
}

void ControlLinesTest::refusedLineKeepsTheToggleTruthful()
{
    QVERIFY(openPort());
    lines.failLines({"DTR", "BREAK"});
    ModalWatch boxes;
    auto *dtr = get<QPushButton>("pushButton_dtr");
    for (int i = 0; i < 3; ++i) {
        dtr->click();
        QVERIFY(dtr->isChecked());
    }
    get<QPushButton>("pushButton_break")->click();
    QCOMPARE(storedSettings().values.value("/globalSetting/dtr"), QStringLiteral("true"));
    QVERIFY2(boxes.seen.isEmpty(), qPrintable(boxes.seen.join(", ")));
}

void ControlLinesTest::pulseInvertsForAMomentAndRestores()
{
    QVERIFY(openPort());
    lines.clear();
    auto *dtr = get<QPushButton>("pushButton_dtr");
    pulse(dtr);
    QTRY_COMPARE(lines.history({"DTR"}), QStringList({"DTR 0", "DTR 1"}));
    const QList<ModemLines::Change> changes = lines.changes();
    QList<qint64> at;
    for (const ModemLines::Change &change : changes)
        if (change.line == QLatin1String("DTR"))
            at << change.time;
    const qint64 ms = (at.at(1) - at.at(0)) / 1000000;
    QVERIFY2(ms >= 80 && ms <= 300, qPrintable(QString::number(ms)));
    QVERIFY(dtr->isChecked());

    // Clicked while pulsing, the toggle decides what the line ends at.
    lines.clear();
    pulse(dtr);
    QTRY_COMPARE(lines.history({"DTR"}), QStringList({"DTR 0"}));
    dtr->click();
    QTRY_COMPARE(lines.history({"DTR"}), QStringList({"DTR 0", "DTR 0"}));
    QVERIFY(!dtr->isChecked());
}

void ControlLinesTest::breakHeldThenReleased()
{
    QVERIFY(openPort());
    lines.clear();
    auto *brk = get<QPushButton>("pushButton_break");
    brk->click();
    brk->click();
    QTRY_COMPARE(lines.history({"BREAK"}), QStringList({"BREAK 1", "BREAK 0"}));
    // Closing mid-break releases it first.
    lines.clear();
    brk->click();
    get<QPushButton>("pushButton_serialOpen")->click();
    QCOMPARE(lines.history({"BREAK", "CLOSE"}), QStringList({"BREAK 1", "BREAK 0", "CLOSE"}));
}

void ControlLinesTest::indicatorsFollowTheDevice()
{
    auto *cts = get<QLabel>("label_cts");
    auto *dcd = get<QLabel>("label_dcd");
    auto *ri = get<QLabel>("label_ri");
    QCOMPARE(lookOf(cts), QStringLiteral("dim"));
    lines.setInputs(true, false, true, false);
    QVERIFY(openPort());
    QTRY_COMPARE(lookOf(cts), QStringLiteral("lit"));
    QCOMPARE(lookOf(dcd), QStringLiteral("lit"));
    QCOMPARE(lookOf(ri), QStringLiteral("dim"));
    lines.setInputs(false, false, true, true);
    QTRY_COMPARE(lookOf(cts), QStringLiteral("dim"));
    QTRY_COMPARE(lookOf(ri), QStringLiteral("lit"));
    get<QPushButton>("pushButton_serialOpen")->click();
    QCOMPARE(lookOf(dcd), QStringLiteral("dim"));

    // A driver that cannot report them: unknown for the session, and nothing asked again.
    lines.failLines({"GET"});
    QVERIFY(openPort());
    QTRY_COMPARE(lookOf(cts), QStringLiteral("unknown"));
    QCOMPARE(lookOf(ri), QStringLiteral("unknown"));
}

void ControlLinesTest::countersCountEachWay()
{
    auto *rx = get<QLabel>("label_rxCount");
    auto *tx = get<QLabel>("label_txCount");
    QCOMPARE(rx->text(), QStringLiteral("RX 0"));
    get<QComboBox>("comboBox_baudrate")->setCurrentText(QStringLiteral("115200"));
    QVERIFY(openPort());
    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("AT"));
    get<QCheckBox>("checkBox_CmdWithEnter")->setChecked(true);
    get<QPushButton>("pushButton_main_cmd_send")->click();
    get<QCheckBox>("checkBox_CmdHexSend")->setChecked(true);
    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("01 02 03"));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    get<QPushButton>("pushButton_send_ctrlz")->click();
    QTRY_COMPARE(tx->text(), QStringLiteral("TX 8"));
    QVERIFY(pty->write("OK\r\n"));
    QTRY_COMPARE(rx->text(), QStringLiteral("RX 4"));

    QTemporaryDir dir;
    const QString file = writeFile(dir.filePath(QStringLiteral("f.bin")), QByteArray(300, 'x'));
    auto seen = answerNextFileDialog(file);
    get<QPushButton>("pushButton_send_file_path")->click();
    QVERIFY(seen->shown);
    get<QPushButton>("pushButton_send_file")->click();
    QCOMPARE(pty->readAtLeast(308).size(), 308);
    QTRY_COMPARE(tx->text(), QStringLiteral("TX 308"));

    // Kept when the port closes, from 0 at the next open; a click sets both back.
    get<QPushButton>("pushButton_serialOpen")->click();
    QCOMPARE(tx->text(), QStringLiteral("TX 308"));
    QTest::mouseClick(rx, Qt::LeftButton);
    QCOMPARE(tx->text(), QStringLiteral("TX 0"));
    QCOMPARE(rx->text(), QStringLiteral("RX 0"));
}

void ControlLinesTest::rtsIsTheDriversUnderHardwareFlow()
{
    auto *rts = get<QPushButton>("pushButton_rts");
    get<QComboBox>("comboBox_flowcontrol")->setCurrentIndex(1);
    QVERIFY(!rts->isEnabled());
    QVERIFY(openPort());
    QCOMPARE(lines.history({"RTS"}), QStringList());
    get<QPushButton>("pushButton_serialOpen")->click();
    get<QComboBox>("comboBox_flowcontrol")->setCurrentIndex(0);
    QVERIFY(rts->isEnabled());
}

QTEST_MAIN(ControlLinesTest)
#include "tst_controllines.moc"
