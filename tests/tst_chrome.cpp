#include "app/globals.h"
#include "app/widget.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

namespace {

// Delivers a mouse event with the given global position, as the window system would.
void mouse(QWidget *target, QEvent::Type type, QPoint global, Qt::MouseButton button,
           Qt::MouseButtons held)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QPoint centreOf(QWidget *control)
{
    return control->mapToGlobal(control->rect().center());
}

// True when a modal box comes up while `action` runs; the box is dismissed.
bool showsModal(const std::function<void()> &action)
{
    auto seen = answerNextModal([](QWidget *modal) { modal->close(); }, 0);
    action();
    QCoreApplication::processEvents();
    return !seen->className.isEmpty();
}

} // namespace

class ChromeTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void leftDragKeepsGrabbedPointUnderCursor();
    void rightButtonEndsButNeverStartsDrag();
    void gripResizesFromPressValues();
    void gripFollowsOnlyLeftButtonPress();
    void doubleClickAndMaxButtonToggleMaximised();
    void minButtonMinimises();
    void pinTwiceRestoresNormalFlags();
    void foldTwiceShowsPanelAgain();
    void ctrlZWithoutPortDoesNothing();
    void onlyExactCtrlZSendsOneByte();
    void aboutBoxShowsPictureAndGoesAway();
};

void ChromeTest::init()
{
    WindowTest::init();
    // Away from the screen's edges, so that moves and resizes in every direction fit.
    window->move(40, 30);
}

void ChromeTest::leftDragKeepsGrabbedPointUnderCursor()
{
    auto *bar = get<QWidget>("widget_menuBar");
    const QPoint start = window->pos();
    const QPoint grab = centreOf(bar);
    const QPoint grabbedInWindow = grab - start;

    mouse(bar, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    for (const QPoint step : {QPoint(5, 3), QPoint(40, 25), QPoint(-20, 60)}) {
        mouse(bar, QEvent::MouseMove, grab + step, Qt::NoButton, Qt::LeftButton);
        QTRY_COMPARE(window->pos(), start + step);
        QCOMPARE(grab + step - window->pos(), grabbedInWindow);
    }
    mouse(bar, QEvent::MouseButtonRelease, grab + QPoint(-20, 60), Qt::LeftButton, Qt::NoButton);

    // After the release a move (with some other button held) leaves the window where it is.
    mouse(bar, QEvent::MouseMove, grab + QPoint(90, 90), Qt::NoButton, Qt::MiddleButton);
    QCOMPARE(window->pos(), start + QPoint(-20, 60));
}

void ChromeTest::rightButtonEndsButNeverStartsDrag()
{
    auto *bar = get<QWidget>("widget_menuBar");
    const QPoint start = window->pos();
    const QPoint grab = centreOf(bar);

    mouse(bar, QEvent::MouseButtonPress, grab, Qt::RightButton, Qt::RightButton);
    mouse(bar, QEvent::MouseMove, grab + QPoint(30, 30), Qt::NoButton, Qt::RightButton);
    mouse(bar, QEvent::MouseButtonRelease, grab + QPoint(30, 30), Qt::RightButton, Qt::NoButton);
    QCOMPARE(window->pos(), start);

    // A left drag continues while the right button joins in, and the right release ends it.
    mouse(bar, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    mouse(bar, QEvent::MouseMove, grab + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    QTRY_COMPARE(window->pos(), start + QPoint(10, 0));
    mouse(bar, QEvent::MouseButtonPress, grab + QPoint(10, 0), Qt::RightButton,
          Qt::LeftButton | Qt::RightButton);
    mouse(bar, QEvent::MouseMove, grab + QPoint(20, 5), Qt::NoButton, Qt::RightButton);
    QTRY_COMPARE(window->pos(), start + QPoint(20, 5));
    mouse(bar, QEvent::MouseButtonRelease, grab + QPoint(20, 5), Qt::RightButton, Qt::LeftButton);
    mouse(bar, QEvent::MouseMove, grab + QPoint(70, 40), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window->pos(), start + QPoint(20, 5));
}

void ChromeTest::gripResizesFromPressValues()
{
    auto *grip = get<QWidget>("label_zoom");
    const QRect start = window->geometry();
    const QPoint press = centreOf(grip);

    mouse(grip, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    // Intermediate moves must not add up: only the distance from the press counts.
    mouse(grip, QEvent::MouseMove, press + QPoint(10, 5), Qt::NoButton, Qt::LeftButton);
    mouse(grip, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    mouse(grip, QEvent::MouseButtonRelease, press + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
    QTRY_COMPARE(window->geometry(), QRect(start.topLeft(), start.size() + QSize(30, 20)));

    // Shrinking works the same way, from the new press.
    const QRect grown = window->geometry();
    const QPoint again = centreOf(grip);
    mouse(grip, QEvent::MouseButtonPress, again, Qt::LeftButton, Qt::LeftButton);
    mouse(grip, QEvent::MouseMove, again - QPoint(12, 8), Qt::NoButton, Qt::LeftButton);
    mouse(grip, QEvent::MouseButtonRelease, again - QPoint(12, 8), Qt::LeftButton, Qt::NoButton);
    QTRY_COMPARE(window->geometry(), QRect(grown.topLeft(), grown.size() - QSize(12, 8)));
}

void ChromeTest::gripFollowsOnlyLeftButtonPress()
{
    auto *grip = get<QWidget>("label_zoom");
    const QRect start = window->geometry();
    const QPoint press = centreOf(grip);

    mouse(grip, QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    mouse(grip, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    mouse(grip, QEvent::MouseButtonRelease, press, Qt::RightButton, Qt::NoButton);
    QCOMPARE(window->geometry(), start);

    // A resize pauses while only another button is held and ends with any release.
    mouse(grip, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    mouse(grip, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::RightButton);
    QCOMPARE(window->geometry(), start);
    mouse(grip, QEvent::MouseMove, press + QPoint(4, 6), Qt::NoButton, Qt::LeftButton);
    QTRY_COMPARE(window->size(), start.size() + QSize(4, 6));
    mouse(grip, QEvent::MouseButtonRelease, press, Qt::MiddleButton, Qt::LeftButton);
    mouse(grip, QEvent::MouseMove, press + QPoint(50, 50), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window->size(), start.size() + QSize(4, 6));
}

void ChromeTest::doubleClickAndMaxButtonToggleMaximised()
{
    auto *bar = get<QWidget>("widget_menuBar");
    const QPoint at = centreOf(bar);
    mouse(bar, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    QTRY_VERIFY(window->isMaximized());
    mouse(bar, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    QTRY_VERIFY(!window->isMaximized());

    auto *max = get<QPushButton>("btn_max");
    max->click();
    QTRY_VERIFY(window->isMaximized());
    max->click();
    QTRY_VERIFY(!window->isMaximized());
}

void ChromeTest::minButtonMinimises()
{
    get<QPushButton>("btn_min")->click();
    QTRY_VERIFY(window->isMinimized());
}

void ChromeTest::pinTwiceRestoresNormalFlags()
{
    auto *pin = get<QPushButton>("btn_top");
    pin->click();
    QCOMPARE(int(window->windowFlags()), 0x4E801);
    QTRY_VERIFY(window->isVisible());
    QVERIFY(pin->styleSheet().contains(QStringLiteral("rgb(120, 120, 120)")));

    pin->click();
    QCOMPARE(int(window->windowFlags()), 0xE801);
    QTRY_VERIFY(window->isVisible());
    QVERIFY(pin->styleSheet().contains(QStringLiteral("background-color: rgb(70, 70, 70)")));
    QVERIFY(!pin->styleSheet().contains(QStringLiteral("rgb(120, 120, 120)")));
}

void ChromeTest::foldTwiceShowsPanelAgain()
{
    auto *panel = get<QWidget>("widget_right");
    auto *fold = get<QPushButton>("pushButton_expand_fold");
    get<QLineEdit>("lineEdit_cmdList_30")->setText(QStringLiteral("AT+CSQ"));
    get<QTabWidget>("tabWidget")->setCurrentIndex(1);
    const QSize size = window->size();

    fold->click();
    QVERIFY(!panel->isVisible());
    QCOMPARE(window->size(), size);
    fold->click();
    QVERIFY(panel->isVisible());
    QCOMPARE(window->size(), size);
    QCOMPARE(get<QTabWidget>("tabWidget")->currentIndex(), 1);
    QCOMPARE(get<QLineEdit>("lineEdit_cmdList_30")->text(), QStringLiteral("AT+CSQ"));
}

void ChromeTest::ctrlZWithoutPortDoesNothing()
{
    QVERIFY(!serialPort);
    QVERIFY(!showsModal([this] { QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); }));
    QVERIFY(get<QTextBrowser>("textBrowser")->toPlainText().isEmpty());
}

void ChromeTest::onlyExactCtrlZSendsOneByte()
{
    get<QCheckBox>("checkBox_sendlog_record")->setChecked(true);
    QVERIFY(openPort());

    // Anything these wrote would reach the line ahead of the 0x1A below.
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_Z);
    QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(!showsModal([this] { QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); }));
    QCOMPARE(pty->readAtLeast(1), QByteArray(1, '\x1A'));
    // The byte is not echoed even with sent data shown on the console.
    QVERIFY(get<QTextBrowser>("textBrowser")->toPlainText().isEmpty());
}

void ChromeTest::aboutBoxShowsPictureAndGoesAway()
{
    QPointer<QMessageBox> shown;
    bool pictureSet = false;
    bool plain = false;
    auto seen = answerNextModalOf<QMessageBox>([&](QMessageBox *box) {
        shown = box;
        pictureSet = !box->iconPixmap().isNull();
        plain = box->text().isEmpty() && box->icon() == QMessageBox::NoIcon &&
                !box->parentWidget() &&
                box->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
        box->buttons().value(0)->click();
    });
    get<QPushButton>("pushButton_about")->click();
    QCOMPARE(seen->className, QStringLiteral("QMessageBox"));
    QCOMPARE(seen->title, QStringLiteral("关于软件"));
    QVERIFY(pictureSet);
    QVERIFY(plain);
    QTRY_VERIFY(shown.isNull());
}

QTEST_MAIN(ChromeTest)
#include "tst_chrome.moc"
