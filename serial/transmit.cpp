#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/globalsettings.h"
#include "serial/hexcodec.h"
#include "serial/port.h"

namespace {

void WarnNoPort()
{
    ShowWarning(Texts::SendWithoutPort());
}

} // namespace

void Widget::_KESTO_UartSend(QString data, bool hexSend, bool withEnter)
{
    if (!serialPort) {
        WarnNoPort();
        return;
    }
    if (data.isEmpty())
        return;

    const QByteArray bytes = hexSend ? EncodeHexCommand(data) : EncodeTextCommand(data, withEnter);
    WriteToPort(bytes);
    if (ui->checkBox_sendlog_record->isChecked())
        ShowData(bytes, false);
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

void Widget::on_pushButton_send_ctrlz_clicked()
{
    if (!serialPort) {
        WarnNoPort();
        return;
    }
    WriteToPort(QByteArray(1, '\x1A'));
}

qint64 Widget::WriteToPort(const QByteArray &bytes)
{
    const qint64 written = serialPort->write(bytes);
    if (written > 0)
        bytesSent += written;
    return written;
}

void Widget::on_checkBox_CmdHexSend_stateChanged(int)
{
    StoreSetting(ui->checkBox_CmdHexSend);
}

void Widget::on_checkBox_CmdWithEnter_stateChanged(int)
{
    StoreSetting(ui->checkBox_CmdWithEnter);
}
