#include "app/widget.h"

#include "app/form/styles.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/filenames.h"

#include <QDate>
#include <QFileDialog>
#include <QTextStream>
#include <QTimer>

namespace {

void StopRecording(Ui_Widget *ui)
{
    logRecording = false;
    logFile.close();
    ui->pushButton_log->setText(Texts::StartLogButton());
    ui->pushButton_log->setStyleSheet(Styles::BlueButton());
    ui->pushButton_log_filepath->setEnabled(true);
}

} // namespace

void Widget::on_pushButton_log_filepath_clicked()
{
    const QString path = QFileDialog::getSaveFileName(
        this, Texts::SaveLogTitle(), FileNames::ProposedLogFile(QDate::currentDate()),
        Texts::LogFilter());
    if (path.isEmpty())
        return;
    logPath = path;
    ui->pushButton_log_filepath->setText(path);
}

void Widget::on_pushButton_log_clicked()
{
    if (logRecording) {
        StopRecording(ui);
        return;
    }
    if (logPath.isEmpty()) {
        ShowWarning(Texts::LogNotCreated());
        return;
    }
    logFile.setFileName(logPath);
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        ShowWarning(Texts::LogNotCreated());
        return;
    }
    logRecording = true;
    ui->pushButton_log->setText(Texts::StopLogButton());
    ui->pushButton_log->setStyleSheet(Styles::LogRecording());
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
    StopRecording(ui);
    // The box runs an event loop of its own. Shown from here it would run inside the port's
    // data-arrived signal, which reads due bursts itself: the port would deliver nothing while
    // the box is up, and a scan closing the session meanwhile would release the port object
    // underneath its own signal. So the box comes up once this call has returned.
    QTimer::singleShot(0, this, [] { ShowWarning(Texts::LogWriteFailed()); });
}
