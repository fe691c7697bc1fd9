#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/wait.h"
#include "commands/batchrun.h"
#include "config/globalsettings.h"

#include <QCoreApplication>

namespace {

// True from the start of a run until it has wound down. Unlike isBatchRunning, which STOP clears
// at once, this keeps RUN disabled (and refuses a second run) while a stopped run is still
// returning through its waits.
bool runInProgress = false;

// Waits ms milliseconds while the window keeps handling events; ends at once when the run is
// stopped (isBatchRunning cleared). A wait of 0 ms returns at once without handling events.
void StoppableDelay(quint32 ms)
{
    WaitHandlingEvents(ms, &isBatchRunning);
}

} // namespace

void Widget::on_pushButton_run_clicked()
{
    // A protocol transfer owns the line until it ends.
    if (!serialPort || runInProgress || transfer)
        return;
    runInProgress = true;
    ui->pushButton_run->setEnabled(false);
    isBatchRunning = true;
    // A reopened session is not the one the run began on: the unplug ended the run.
    const int session = reopenedSessions;

    BatchRunSteps steps;
    steps.passCount = [this] { return ui->lineEdit_RunTimes->text().toInt(); };
    steps.isSent = [](int row) {
        return selectCheckBoxList[row - 1]->isChecked() &&
               !cmdLineEditList[row - 1]->text().isEmpty();
    };
    steps.mayGoOn = [session] {
        return isBatchRunning && serialPort && reopenedSessions == session;
    };
    steps.sendRow = [this](int pass, int row) {
        ui->pushButton_run->setText(RunCaption(pass, row));
        _KESTO_UartSend(cmdLineEditList[row - 1]->text(), hexCheckBoxList[row - 1]->isChecked(),
                        enterCheckBoxList[row - 1]->isChecked());
        StoppableDelay(WaitLength(delayLineEditList[row - 1]->text()));
        // Even without a wait, STOP, the close button and a closed port must get through before
        // the run asks whether it may go on.
        QCoreApplication::processEvents();
    };
    steps.endPass = [this] {
        StoppableDelay(WaitLength(ui->lineEdit_Interval->text()));
        // Same for a pass that sent nothing and has no interval.
        QCoreApplication::processEvents();
    };
    RunBatch(steps);

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
    StoreSetting(ui->lineEdit_RunTimes);
}

void Widget::on_lineEdit_Interval_textChanged(const QString &)
{
    StoreSetting(ui->lineEdit_Interval);
}
