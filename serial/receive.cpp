#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/keys.h"

#include <QSettings>

void Widget::_KESTO_UartRecvIRQ_Handler() {}

void Widget::_KESTO_ReadSerialData() {}

void Widget::ShowData(QByteArray data, bool received)
{
    Q_UNUSED(data);
    Q_UNUSED(received);
}

void Widget::on_checkBox_ShowHex_stateChanged(int arg1)
{
    settings->setValue(Keys::showInHex, Keys::switchValue(arg1 != Qt::Unchecked));
}

void Widget::on_checkBox_Timestamp_stateChanged(int arg1)
{
    settings->setValue(Keys::showTime,
                       Keys::switchValue(arg1 != Qt::Unchecked));
}

void Widget::on_checkBox_ShowHex_clicked(bool checked)
{
    Q_UNUSED(checked);
}

void Widget::on_pushButton_clear_screen_clicked() {}
