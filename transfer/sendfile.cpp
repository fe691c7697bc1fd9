#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/wait.h"

void Widget::on_pushButton_send_file_path_clicked() {}

void Widget::on_pushButton_send_file_clicked() {}
