#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/keys.h"
#include "serial/trace.h"

#include <QSerialPort>
#include <QSettings>

void Widget::_KESTO_GetSerialPorts() {}

void Widget::on_comboBox_baudrate_currentIndexChanged(const QString &arg1)
{
    settings->setValue(Keys::baudrate, arg1);
}

void Widget::on_comboBox_databits_currentIndexChanged(const QString &arg1)
{
    settings->setValue(Keys::databits, arg1);
}

void Widget::on_comboBox_parity_currentIndexChanged(const QString &arg1)
{
    settings->setValue(Keys::parity, arg1);
}

void Widget::on_comboBox_flowcontrol_currentIndexChanged(const QString &arg1)
{
    settings->setValue(Keys::flowcontrol, arg1);
}

void Widget::on_comboBox_stopbits_currentIndexChanged(const QString &arg1)
{
    settings->setValue(Keys::stopbits, arg1);
}

void Widget::on_pushButton_serialOpen_clicked() {}

void Widget::ClosePort(const QString &caller)
{
    Q_UNUSED(caller);
}
