#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/globalsettings.h"
#include "serial/burst.h"
#include "serial/consolemodel.h"
#include "serial/port.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTimer>

namespace {

// Runs from the first data-arrived signal after a read, i.e. from the burst's first unread byte.
QElapsedTimer burstClock;
// When, on burstClock, the latest data-arrived signal came.
qint64 lastArrivalMs = 0;

} // namespace

void Widget::_KESTO_UartRecvIRQ_Handler()
{
    // A consumer that claims the stream (a transfer protocol) takes each delivery at once; the
    // console sees nothing of it.
    if (receiveConsumer) {
        receiveConsumer(ReadFromPort());
        return;
    }
    // A delivery only notes its time: the timer already running re-arms itself when it fires
    // before the burst has gone quiet. Restarting it for every delivery cost more than reading.
    if (!readTimer->isActive()) {
        burstClock.start();
        lastArrivalMs = 0;
        readTimer->start(NextReadDelay(0));
        return;
    }
    lastArrivalMs = burstClock.elapsed();
    // Once the burst is due, read right here: a device that never pauses keeps the event loop
    // busy with its data, and the bound must not depend on when a timer gets its turn.
    if (NextReadDelay(lastArrivalMs) == 0) {
        readTimer->stop();
        _KESTO_ReadSerialData();
    }
}

void Widget::ReadWhenQuiet()
{
    const qint64 sinceFirst = burstClock.elapsed();
    const int delay = NextReadDelay(sinceFirst, sinceFirst - lastArrivalMs);
    if (delay > 0) {
        readTimer->start(delay);
        return;
    }
    _KESTO_ReadSerialData();
}

void Widget::_KESTO_ReadSerialData()
{
    if (!serialPort)
        return;
    ShowData(ReadFromPort(), true);
}

QByteArray Widget::ReadFromPort()
{
    const QByteArray bytes = serialPort->readAll();
    bytesReceived += bytes.size();
    CountsChanged();
    return bytes;
}

void Widget::SetReceiveConsumer(std::function<void(const QByteArray &)> consumer)
{
    receiveConsumer = std::move(consumer);
}

ConsoleOptions Widget::ConsoleOptionsShown() const
{
    ConsoleOptions options;
    options.hexView = ui->checkBox_ShowHex->isChecked();
    options.timestamps = ui->checkBox_Timestamp->isChecked();
    options.tagged = ui->checkBox_sendlog_record->isChecked();
    options.colours = ansiColoursAction->isChecked();
    return options;
}

void Widget::ShowData(QByteArray data, bool received)
{
    console->showChunk(data, received, ConsoleOptionsShown(), QDateTime::currentDateTime());
}

void Widget::FlushReceived()
{
    if (serialPort->bytesAvailable() > 0)
        ShowData(ReadFromPort(), true);
    console->flushHeld(ConsoleOptionsShown(), QDateTime::currentDateTime());
}

void Widget::on_checkBox_ShowHex_stateChanged(int)
{
    StoreSetting(ui->checkBox_ShowHex);
}

void Widget::on_checkBox_Timestamp_stateChanged(int)
{
    StoreSetting(ui->checkBox_Timestamp);
}

void Widget::on_checkBox_ShowHex_clicked(bool checked)
{
    console->switchView(checked);
}

void Widget::on_pushButton_clear_screen_clicked()
{
    console->clear();
}
