#include "app/widget.h"

#include "app/form/styles.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/warning.h"
#include "config/filenames.h"

#include <QDate>
#include <QFileDialog>
#include <QTextStream>
#include <QTimer>

namespace {

// The path button's text until a path is chosen.
const QString kNoPathChosen = QStringLiteral("点击选择日志保存路径");
const QString kCannotCreate = QStringLiteral("无法创建文件\r\n请检查路径是否有误！");

void stopRecording(Ui_Widget *ui)
{
    logRecording = false;
    logFile.close();
    ui->pushButton_log->setText(QStringLiteral("开始记录"));
    ui->pushButton_log->setStyleSheet(Styles::blueButton());
    ui->pushButton_log_filepath->setEnabled(true);
}

} // namespace

void Widget::on_pushButton_log_filepath_clicked()
{
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("保存日志"), FileNames::proposedLogFile(QDate::currentDate()),
        QStringLiteral("日志文件(*.log*)"));
    if (!path.isEmpty())
        ui->pushButton_log_filepath->setText(path);
}

void Widget::on_pushButton_log_clicked()
{
    if (logRecording) {
        stopRecording(ui);
        return;
    }
    const QString path = ui->pushButton_log_filepath->text();
    if (path == kNoPathChosen) {
        ShowWarning(kCannotCreate);
        return;
    }
    logFile.setFileName(path);
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        ShowWarning(kCannotCreate);
        return;
    }
    logRecording = true;
    ui->pushButton_log->setText(QStringLiteral("停止记录"));
    ui->pushButton_log->setStyleSheet(Styles::logRecording());
    ui->pushButton_log_filepath->setEnabled(false);
}

void Widget::LogWrite(const QString &part)
{
    // The stream's default codec is the local 8-bit encoding.
    QTextStream stream(&logFile);
    stream << part;
    stream.flush();
    if (stream.status() == QTextStream::Ok)
        return;
    // Stop first, so data arriving while the box is open is not written (and warned about) again.
    stopRecording(ui);
    // The box runs an event loop of its own. Shown from here it would run inside the port's
    // data-arrived signal, which reads due bursts itself: the port would deliver nothing while
    // the box is up, and a scan closing the session meanwhile would release the port object
    // underneath its own signal. So the box comes up once this call has returned.
    QTimer::singleShot(
        0, this, [] { ShowWarning(QStringLiteral("无法写入日志文件！\r\n日志记录已停止！")); });
}
