#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/keys.h"

#include <QSettings>

void Widget::_KESTO_UartSend(QString data, bool hexSend, bool withEnter)
{
    Q_UNUSED(data);
    Q_UNUSED(hexSend);
    Q_UNUSED(withEnter);
}

void Widget::on_pushButton_main_cmd_send_clicked()
{
    _KESTO_UartSend(ui->lineEdit_main_cmd->text(), ui->checkBox_CmdHexSend->isChecked(),
                    ui->checkBox_CmdWithEnter->isChecked());
}

void Widget::on_lineEdit_main_cmd_returnPressed()
{
    on_pushButton_main_cmd_send_clicked();
}

void Widget::on_pushButton_send_ctrlz_clicked() {}

void Widget::on_checkBox_CmdHexSend_stateChanged(int arg1)
{
    settings->setValue(Keys::sendHex,
                       Keys::switchValue(arg1 != Qt::Unchecked));
}

void Widget::on_checkBox_CmdWithEnter_stateChanged(int arg1)
{
    settings->setValue(Keys::sendWithEnter,
                       Keys::switchValue(arg1 != Qt::Unchecked));
}
