#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/wait.h"
#include "config/keys.h"

#include <QSettings>

void Widget::on_pushButton_run_clicked() {}

void Widget::on_pushButton_stop_clicked() {}

void Widget::on_lineEdit_RunTimes_textChanged(const QString &)
{
    settings->setValue(Keys::runTimes, ui->lineEdit_RunTimes->text());
}

void Widget::on_lineEdit_Interval_textChanged(const QString &)
{
    settings->setValue(Keys::interval, ui->lineEdit_Interval->text());
}
