#include "app/widget.h"

#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "commands/batchrun.h"
#include "config/keys.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

// True from the start of a run until it has wound down. Unlike isBatchRunning, which STOP clears
// at once, this keeps RUN disabled (and refuses a second run) while a stopped run is still
// returning through its waits.
bool runInProgress = false;

} // namespace

void Widget::on_pushButton_run_clicked()
{
    if (!serialPort || runInProgress)
        return;
    runInProgress = true;
    ui->pushButton_run->setEnabled(false);
    isBatchRunning = true;

    for (int pass = 0; pass < ui->lineEdit_RunTimes->text().toInt() && isBatchRunning && serialPort;
         ++pass) {
        for (int row = 1; row <= RowCount; ++row) {
            const int i = row - 1;
            if (selectCheckBoxList[i]->isChecked() && !cmdLineEditList[i]->text().isEmpty()) {
                ui->pushButton_run->setText(RunCaption(pass + 1, row));
                _KESTO_UartSend(cmdLineEditList[i]->text(), hexCheckBoxList[i]->isChecked(),
                                enterCheckBoxList[i]->isChecked());
                StoppableDelay(WaitLength(delayLineEditList[i]->text()));
                // Even without a wait, STOP, the close button and a closed port must get through
                // before the check below.
                QCoreApplication::processEvents();
            }
            if (!isBatchRunning || !serialPort)
                break;
        }
        StoppableDelay(WaitLength(ui->lineEdit_Interval->text()));
        // Same for a pass that sent nothing and has no interval.
        QCoreApplication::processEvents();
    }

    ui->pushButton_run->setText(Texts::RunButton());
    ui->pushButton_run->setEnabled(true);
    runInProgress = false;
}

void Widget::on_pushButton_stop_clicked()
{
    isBatchRunning = false;
    ui->pushButton_run->setText(Texts::RunButton());
    // A stopped run enables the button itself once it has ended.
    if (!runInProgress)
        ui->pushButton_run->setEnabled(true);
}

void Widget::on_lineEdit_RunTimes_textChanged(const QString &)
{
    settings->setValue(Keys::runTimes, ui->lineEdit_RunTimes->text());
}

void Widget::on_lineEdit_Interval_textChanged(const QString &)
{
    settings->setValue(Keys::interval, ui->lineEdit_Interval->text());
}
