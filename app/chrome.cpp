#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"

#include <QEvent>
#include <QKeyEvent>

void Widget::on_btn_min_clicked() {}

void Widget::on_btn_max_clicked() {}

void Widget::on_btn_top_clicked() {}

void Widget::on_pushButton_expand_fold_clicked() {}

bool Widget::eventFilter(QObject *watched, QEvent *event)
{
    return QWidget::eventFilter(watched, event);
}

void Widget::keyPressEvent(QKeyEvent *keyEvent)
{
    Q_UNUSED(keyEvent);
}

void Widget::on_pushButton_about_clicked() {}
