#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"

#include <QTextStream>

void Widget::on_pushButton_log_filepath_clicked() {}

void Widget::on_pushButton_log_clicked() {}

void Widget::LogWrite(const QString &part)
{
    QTextStream stream(&logFile);
    stream << part;
    stream.flush();
}
