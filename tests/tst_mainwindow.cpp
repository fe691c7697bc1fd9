#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/widget.h"
#include "support/child.h"
#include "support/gui.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshWorkingDirectory(); }

    void rowListsHoldRowsInOrder();
    void everyNamedSlotIsConnected();
    void controlsMatchTheForm_data();
    void controlsMatchTheForm();
    void comboItems_data();
    void comboItems();
    void initialStates();
    void onlyFirstPageHeaderHasExtraLabel();
    void titleButtonsRightToLeft();
    void profileNamedInTheTitles();
    void sendButtonsLookAlikeOnEveryPage();
    void windowFlagsAndTimers();
    void missingConfigDoesNotStopStartup();
    void closeButtonExitsWithZero();
};

void MainWindowTest::rowListsHoldRowsInOrder()
{
    Widget w;
    auto *tabs = control<QTabWidget>(&w, QStringLiteral("tabWidget"));
    // Entry k-1 is the control named with suffix k, on the page (k-1)/25.
    const auto check = [tabs](const auto &list, const char *prefix) {
        QCOMPARE(list.size(), 150);
        for (int k = 1; k <= 150; ++k) {
            QCOMPARE(list[k - 1]->objectName(), QLatin1String(prefix) + QString::number(k));
            QVERIFY(tabs->widget(PageOfRow(k))->isAncestorOf(list[k - 1]));
        }
    };
    check(selectCheckBoxList, "checkBox_selectList_");
    check(hexCheckBoxList, "checkBox_hexList_");
    check(enterCheckBoxList, "checkBox_enterList_");
    check(cmdLineEditList, "lineEdit_cmdList_");
    check(delayLineEditList, "lineEdit_delayList_");
    check(sendButtonList, "pushButton_sendList_");
    for (int k = 1; k <= 150; ++k)
        QCOMPARE(sendButtonList[k - 1]->text(), QString::number(k));
}

// A slot named on_<object>_<signal> that nothing connects is silently dead: Qt 6's combo boxes,
// for one, lack the text signals Qt 5's have. Each must be connected to a signal of that name of
// its object, or of an object relaying for it (a child of it).
void MainWindowTest::everyNamedSlotIsConnected()
{
    Widget w;
    const QList<QObject *> objects = w.findChildren<QObject *>();
    const QMetaObject *meta = w.metaObject();
    QStringList unconnected;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod slot = meta->method(i);
        const QByteArray name = slot.name();
        if (slot.methodType() != QMetaMethod::Slot || !name.startsWith("on_"))
            continue;
        bool connected = false;
        for (QObject *object : objects) {
            const QByteArray prefix = "on_" + object->objectName().toLatin1() + '_';
            if (object->objectName().isEmpty() || !name.startsWith(prefix))
                continue;
            const QByteArray signal = name.mid(prefix.size());
            QList<QObject *> senders =
                object->findChildren<QObject *>(QString(), Qt::FindDirectChildrenOnly);
            senders.prepend(object);
            for (QObject *sender : senders) {
                const QMetaObject *senderMeta = sender->metaObject();
                for (int s = 0; s < senderMeta->methodCount(); ++s) {
                    const QMetaMethod candidate = senderMeta->method(s);
                    // Disconnecting succeeds exactly when the connection was there.
                    if (candidate.methodType() == QMetaMethod::Signal &&
                        candidate.name() == signal &&
                        QObject::disconnect(sender, candidate, &w, slot))
                        connected = true;
                }
            }
        }
        if (!connected)
            unconnected.append(QString::fromLatin1(slot.methodSignature()));
    }
    QCOMPARE(unconnected, QStringList());
}

void MainWindowTest::controlsMatchTheForm_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");

    auto row = [](const char *name, const char *cls, const QString &text) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(cls) << text;
    };
    row("label_title", "QLabel", QStringLiteral("Kesto · Sermora"));
    row("groupBox", "QGroupBox", QStringLiteral("会话配置"));
    row("label", "QLabel", QStringLiteral("端口号"));
    row("label_6", "QLabel", QStringLiteral("波特率"));
    row("label_4", "QLabel", QStringLiteral("数据位"));
    row("label_2", "QLabel", QStringLiteral("检验位"));
    row("label_3", "QLabel", QStringLiteral("流控制"));
    row("label_5", "QLabel", QStringLiteral("停止位"));
    row("pushButton_serialOpen", "QPushButton", QStringLiteral("OPEN"));
    row("pushButton_clear_screen", "QPushButton", QStringLiteral("清空屏幕内容"));
    row("pushButton_send_ctrlz", "QPushButton", QStringLiteral("发送Ctrl-Z"));
    row("checkBox_ShowHex", "QCheckBox", QStringLiteral("HEX显示"));
    row("checkBox_CmdHexSend", "QCheckBox", QStringLiteral("HEX发送"));
    row("checkBox_Timestamp", "QCheckBox", QStringLiteral("时间戳"));
    row("checkBox_CmdWithEnter", "QCheckBox", QStringLiteral("发送回车换行"));
    row("pushButton_expand_fold", "QPushButton", QString());
    row("lineEdit_main_cmd", "QLineEdit", QString());
    row("pushButton_main_cmd_send", "QPushButton", QStringLiteral("发送内容"));
    row("pushButton_send_file_path", "QPushButton", QStringLiteral("点击选择发送文件路径"));
    row("pushButton_send_file", "QPushButton", QStringLiteral("发送文件"));
    row("pushButton_log_filepath", "QPushButton", QStringLiteral("点击选择日志保存路径"));
    row("checkBox_sendlog_record", "QCheckBox", QStringLiteral("记录发送内容"));
    row("pushButton_log", "QPushButton", QStringLiteral("开始记录"));
    row("pushButton_run", "QPushButton", QStringLiteral("RUN"));
    row("pushButton_stop", "QPushButton", QStringLiteral("STOP"));
    row("label_7", "QLabel", QStringLiteral("运行次数"));
    row("label_RunInterval", "QLabel", QStringLiteral(" 循环间隔"));
    row("lineEdit_RunTimes", "QLineEdit", QString());
    row("lineEdit_Interval", "QLineEdit", QString());
    row("pushButton_saveConfigFile", "QPushButton", QStringLiteral("保存配置到文件"));
    row("pushButton_loadConfingFile", "QPushButton", QStringLiteral("加载配置文件"));
    row("pushButton_clearAllConfMsg", "QPushButton", QStringLiteral("清空配置信息"));
    row("label_9", "QLabel", QString());
    row("label_zoom", "QLabel", QString());
    row("textBrowser", "QTextBrowser", QString());
    row("progressBar", "QProgressBar", QString());
    for (int p = 0; p < 6; ++p) {
        const QByteArray n = QByteArray::number(p);
        row("checkBox_p" + n + "_CmdSelectAll", "QCheckBox", QStringLiteral("Choose All/None"));
        row("checkBox_p" + n + "_hexSelectAll", "QCheckBox", QStringLiteral("Hex"));
        row("checkBox_p" + n + "_EnterSeledtAll", "QCheckBox", QStringLiteral("Enter"));
        row("label_" + QByteArray::number(11 + p), "QLabel", QStringLiteral("Delay(ms)"));
    }
    for (const char *b : {"btn_close", "btn_max", "btn_min", "btn_top", "pushButton_about"})
        row(b, "QPushButton", QString());
}

void MainWindowTest::controlsMatchTheForm()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);
    Widget w;
    QObject *o = w.findChild<QObject *>(name);
    QVERIFY2(o, qPrintable(name));
    QCOMPARE(QString::fromLatin1(o->metaObject()->className()), className);
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        QCOMPARE(b->text(), text);
    else if (auto *l = qobject_cast<QLabel *>(o))
        QCOMPARE(l->text(), text);
    else if (auto *g = qobject_cast<QGroupBox *>(o))
        QCOMPARE(g->title(), text);
    else if (auto *e = qobject_cast<QLineEdit *>(o))
        QCOMPARE(e->text(), text);
}

void MainWindowTest::comboItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("current");
    QTest::newRow("baudrate") << "comboBox_baudrate"
                              << QStringList{"110",    "300",    "600",    "1200",
                                             "2400",   "4800",   "9600",   "14400",
                                             "19200",  "38400",  "57600",  "115200",
                                             "230400", "380400", "460800", "921600"}
                              << "115200";
    QTest::newRow("databits") << "comboBox_databits" << QStringList{"5", "6", "7", "8"} << "8";
    QTest::newRow("parity") << "comboBox_parity"
                            << QStringList{"None", "Odd", "Even", "Mark", "Space"} << "None";
    QTest::newRow("stopbits") << "comboBox_stopbits" << QStringList{"1", "1.5", "2"} << "1";
    QTest::newRow("flowcontrol") << "comboBox_flowcontrol"
                                 << QStringList{"NONE", "RTS/CTS", "XON/XOFF"} << "NONE";
    QTest::newRow("serial") << "comboBox_serial" << QStringList{} << "";
}

void MainWindowTest::comboItems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QFETCH(QString, current);
    Widget w;
    auto *combo = control<QComboBox>(&w, name);
    QVERIFY(combo);
    QStringList actual;
    for (int i = 0; i < combo->count(); ++i)
        actual << combo->itemText(i);
    QCOMPARE(actual, items);
    QCOMPARE(combo->currentText(), current);
}

void MainWindowTest::initialStates()
{
    Widget w;
    for (QCheckBox *box : w.findChildren<QCheckBox *>())
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    for (QLineEdit *edit : w.findChildren<QLineEdit *>())
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    auto *tabs = control<QTabWidget>(&w, QStringLiteral("tabWidget"));
    QCOMPARE(tabs->count(), 6);
    QCOMPARE(tabs->currentIndex(), 0);
    for (int p = 0; p < 6; ++p) {
        QCOMPARE(tabs->tabText(p), QStringLiteral("Page%1").arg(p));
        QCOMPARE(tabs->widget(p)->objectName(), QStringLiteral("tab_%1").arg(p));
    }
    QCOMPARE(control<QProgressBar>(&w, QStringLiteral("progressBar"))->value(), 0);
    QCOMPARE(w.size(), QSize(1015, 732));
    QCOMPARE(w.windowTitle(), QStringLiteral("Sermora"));
    QVERIFY(!w.windowIcon().isNull());
}

void MainWindowTest::onlyFirstPageHeaderHasExtraLabel()
{
    Widget w;
    for (int p = 0; p < 6; ++p) {
        auto *select = control<QCheckBox>(&w, QStringLiteral("checkBox_p%1_CmdSelectAll").arg(p));
        QWidget *header = select->parentWidget();
        QCOMPARE(header->layout()->count(), p == 0 ? 5 : 4);
        QCOMPARE(header->findChild<QLabel *>(QStringLiteral("label_9")) != nullptr, p == 0);
    }
}

void MainWindowTest::titleButtonsRightToLeft()
{
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QStringList leftToRight{"pushButton_about", "btn_top", "btn_min", "btn_max", "btn_close"};
    int lastX = -1;
    for (const QString &name : leftToRight) {
        auto *b = control<QPushButton>(&w, name);
        QVERIFY(b);
        const int x = b->mapTo(&w, QPoint(0, 0)).x();
        QVERIFY2(x > lastX, qPrintable(name));
        lastX = x;
        QCOMPARE(b->size(), QSize(25, 25));
    }
    // The buttons stand at the right end of the title bar.
    QVERIFY(lastX + 25 >= w.width() - 10);
}

// Two windows side by side tell themselves apart by the profile, in the title bar and in the
// window system's list.
void MainWindowTest::profileNamedInTheTitles()
{
    Widget w;
    w.ShowProfile(QStringLiteral("nmea-2"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Sermora - nmea-2"));
    QCOMPARE(control<QLabel>(&w, QStringLiteral("label_title"))->text(),
             QStringLiteral("Kesto · Sermora - nmea-2"));
}

void MainWindowTest::sendButtonsLookAlikeOnEveryPage()
{
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *tabs = control<QTabWidget>(&w, QStringLiteral("tabWidget"));
    const QColor blue(51, 136, 255), hoverBlue(40, 100, 255), gray(128, 128, 128);
    // Middle of the top edge, and a point inside it left of the centred number.
    const auto edgeAndInside = [](QWidget *b) {
        const QImage image = b->grab().toImage();
        return qMakePair(image.pixelColor(image.width() / 2, 0), image.pixelColor(3, 3));
    };
    for (int page = 0; page < PageCount; ++page) {
        tabs->setCurrentIndex(page);
        for (int row : {page * RowsPerPage + 1, (page + 1) * RowsPerPage}) {
            QPushButton *send = sendButtonList[row - 1];
            QCOMPARE(edgeAndInside(send), qMakePair(gray, blue));
            QTest::mouseMove(send);
            QTRY_COMPARE(edgeAndInside(send).second, hoverBlue);
        }
    }
    // The same blue without the border: the send buttons' rules reach no other button.
    QCOMPARE(edgeAndInside(control<QPushButton>(&w, QStringLiteral("pushButton_run"))),
             qMakePair(blue, blue));
}

void MainWindowTest::windowFlagsAndTimers()
{
    Widget w;
    QCOMPARE(int(w.windowFlags()), 0xE801);
    QVERIFY(readTimer);
    QVERIFY(readTimer->isSingleShot());
    QVERIFY(!readTimer->isActive());
    QTimer *scan = nullptr;
    for (QTimer *t : w.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly))
        if (t != readTimer)
            scan = t;
    QVERIFY(scan);
    QVERIFY(scan->isActive());
    QVERIFY(!scan->isSingleShot());
    QCOMPARE(scan->interval(), 1000);
    QCOMPARE(control<QLabel>(&w, QStringLiteral("label_zoom"))->cursor().shape(),
             Qt::SizeFDiagCursor);
}

void MainWindowTest::missingConfigDoesNotStopStartup()
{
    QVERIFY(!QFile::exists(QStringLiteral("config.ini")));
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(control<QComboBox>(&w, QStringLiteral("comboBox_baudrate"))->currentText(),
             QStringLiteral("115200"));
}

void MainWindowTest::closeButtonExitsWithZero()
{
    // A child process runs the window's event loop as the program does; a click on the close
    // button must end that loop and the process with code 0.
    runSelfAsChild(QStringLiteral("--close-child"));
}

namespace {

// The child of closeButtonExitsWithZero.
int closeChild()
{
    Widget w;
    w.show();
    QTimer::singleShot(200,
                       [&w] { control<QPushButton>(&w, QStringLiteral("btn_close"))->click(); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindowTest test;
    return runTestsOrChild(test, argc, argv, {{QStringLiteral("--close-child"), closeChild}});
}
#include "tst_mainwindow.moc"
