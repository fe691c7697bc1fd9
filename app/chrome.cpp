#include "app/widget.h"

#include "app/form/pixmaps.h"
#include "app/form/styles.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/qtcompat.h"
#include "app/texts.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>

namespace {

const Qt::WindowFlags NormalFlags = Qt::Window | Qt::FramelessWindowHint |
                                    Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                    Qt::WindowMaximizeButtonHint;
const Qt::WindowFlags OnTopFlags = NormalFlags | Qt::WindowStaysOnTopHint;

} // namespace

void Widget::ShowProfile(const QString &name)
{
    // Appended to the texts in place, which are the same in both languages, so that nothing
    // more needs translating.
    const QString suffix = QStringLiteral(" - ") + name;
    setWindowTitle(windowTitle() + suffix);
    ui->label_title->setText(ui->label_title->text() + suffix);
}

void Widget::on_btn_min_clicked()
{
    showMinimized();
}

void Widget::on_btn_max_clicked()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void Widget::on_btn_top_clicked()
{
    if (!isOnTop) {
        // Changing the flags hides the window; showing it again applies them.
        setWindowFlags(OnTopFlags);
        hide();
        show();
        ui->btn_top->setStyleSheet(Styles::PinOn());
    } else {
        setWindowFlags(NormalFlags);
        show();
        ui->btn_top->setStyleSheet(Styles::PinOff());
    }
    isOnTop = !isOnTop;
}

void Widget::on_pushButton_expand_fold_clicked()
{
    ui->widget_right->setVisible(isRightPanelHidden);
    isRightPanelHidden = !isRightPanelHidden;
}

bool Widget::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool isMouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                         type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
    if (type == QEvent::MouseButtonPress &&
        (watched == ui->label_rxCount || watched == ui->label_txCount)) {
        ResetCounts();
        return true;
    }
    if (!isMouse || (watched != ui->widget_menuBar && watched != ui->label_zoom))
        return QWidget::eventFilter(watched, event);

    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint cursor = GlobalPosition(*mouse);
    const bool leftHeld = mouse->buttons() & Qt::LeftButton;

    if (watched == ui->widget_menuBar) {
        switch (type) {
        case QEvent::MouseButtonDblClick:
            on_btn_max_clicked();
            return true;
        case QEvent::MouseButtonPress:
            if (!leftHeld)
                break;
            isDragging = true;
            dragOffset = cursor - pos();
            return true;
        case QEvent::MouseMove:
            // Any held button keeps a drag going once the left button has started it.
            if (!isDragging || mouse->buttons() == Qt::NoButton)
                break;
            move(cursor - dragOffset);
            return true;
        case QEvent::MouseButtonRelease:
            isDragging = false;
            return true;
        default:
            break;
        }
        return QWidget::eventFilter(watched, event);
    }

    switch (type) {
    case QEvent::MouseButtonPress:
        if (!leftHeld)
            break;
        isResizing = true;
        resizeStartGeometry = geometry();
        resizeStartPos = cursor;
        return true;
    case QEvent::MouseMove: {
        if (!isResizing || !leftHeld)
            break;
        // Always from the values taken at the press, so the size does not drift.
        const QPoint delta = cursor - resizeStartPos;
        setGeometry(QRect(resizeStartGeometry.topLeft(),
                          resizeStartGeometry.size() + QSize(delta.x(), delta.y())));
        update();
        return true;
    }
    case QEvent::MouseButtonRelease:
        isResizing = false;
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Widget::keyPressEvent(QKeyEvent *keyEvent)
{
    if (serialPort && keyEvent->modifiers() == Qt::ControlModifier && keyEvent->key() == Qt::Key_Z)
        WriteToPort(QByteArray(1, '\x1A'));
}

void Widget::on_pushButton_about_clicked()
{
    auto *box =
        new QMessageBox(QMessageBox::NoIcon, Texts::AboutTitle(), QString(), QMessageBox::NoButton,
                        nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box->setIconPixmap(FormPixmap(QStringLiteral(":/image/about_20181029.png")));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->exec();
}
