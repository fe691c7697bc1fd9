#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/keys.h"
#include "serial/burst.h"
#include "serial/console.h"
#include "serial/hexcodec.h"
#include "serial/trace.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSettings>
#include <QTimer>

namespace {

Utf8Carry receiveCarry;
// Runs from the first data-arrived signal after a read, i.e. from the burst's first unread byte.
QElapsedTimer burstClock;

} // namespace

void Widget::_KESTO_UartRecvIRQ_Handler()
{
    if (!readTimer->isActive())
        burstClock.start();
    const int delay = NextReadDelay(burstClock.elapsed());
    readTimer->stop();
    // Once the burst is due, read right here: a device that never pauses keeps the event loop
    // busy with its data, and the bound must not depend on when a timer gets its turn.
    if (delay == 0) {
        _KESTO_ReadSerialData();
        return;
    }
    readTimer->start(delay);
}

void Widget::_KESTO_ReadSerialData()
{
    if (!serialPort)
        return;
    ShowData(serialPort->readAll(), true);
}

void Widget::ShowData(QByteArray data, bool received)
{
    const bool startAfresh =
        textDisplayBuffer.size() > TextBufferLimit || hexDisplayBuffer.size() > HexBufferLimit;
    if (startAfresh) {
        textDisplayBuffer.clear();
        hexDisplayBuffer.clear();
    }
    const bool timestamps = ui->checkBox_Timestamp->isChecked();
    const QString stamp = FormatStamp(QDateTime::currentDateTime(),
                                      ui->checkBox_sendlog_record->isChecked(), received);

    const QString hex = ByteArrayToHexString(data);
    if (timestamps)
        qCDebug(DataTrace).noquote() << hex << "len:" << hex.size();
    else
        qCDebug(DataTrace).noquote() << hex;
    // Only the received stream carries a cut-off character over; an echo always stands alone.
    const QString text = received ? receiveCarry.take(data) : TextRendition(data);
    const ConsoleParts parts =
        RenderChunk(text, hex, textDisplayBuffer, hexDisplayBuffer, stamp, timestamps);
    textDisplayBuffer.append(parts.text);
    hexDisplayBuffer.append(parts.hex);

    ShowPart(ui->checkBox_ShowHex->isChecked() ? parts.hex : parts.text, startAfresh);
}

void Widget::FlushReceived()
{
    if (serialPort->bytesAvailable() > 0)
        ShowData(serialPort->readAll(), true);
    if (receiveCarry.isEmpty())
        return;
    // The hex rendition showed these bytes when they came; the text has them still to show.
    const QString stamp =
        FormatStamp(QDateTime::currentDateTime(), ui->checkBox_sendlog_record->isChecked(), true);
    const QString text = RenderChunk(receiveCarry.flush(), QString(), textDisplayBuffer,
                                     hexDisplayBuffer, stamp, ui->checkBox_Timestamp->isChecked())
                             .text;
    textDisplayBuffer.append(text);
    if (!ui->checkBox_ShowHex->isChecked())
        ShowPart(text, false);
}

void Widget::ShowPart(const QString &part, bool startAfresh)
{
    ui->textBrowser->moveCursor(QTextCursor::End);
    // A console past its limit gets the new part in place of its content, in one edit. Cleared
    // first, it would hide its scroll bar, show it again for the new text and lay that text out
    // a second time at the narrower width.
    if (startAfresh && part.isEmpty())
        ui->textBrowser->clear();
    else if (startAfresh)
        ui->textBrowser->selectAll();
    for (int from = 0; from < part.size();) {
        const int end = ConsolePieceEnd(part, from);
        ui->textBrowser->insertPlainText(part.mid(from, end - from));
        from = end;
    }
    if (logRecording)
        LogWrite(part);
    ui->textBrowser->moveCursor(QTextCursor::End);
}

void Widget::on_checkBox_ShowHex_stateChanged(int arg1)
{
    settings->setValue(Keys::ShowInHex, Keys::SwitchValue(arg1 != Qt::Unchecked));
}

void Widget::on_checkBox_Timestamp_stateChanged(int arg1)
{
    settings->setValue(Keys::ShowTime, Keys::SwitchValue(arg1 != Qt::Unchecked));
}

void Widget::on_checkBox_ShowHex_clicked(bool checked)
{
    ui->textBrowser->setPlainText(checked ? hexDisplayBuffer : textDisplayBuffer);
    ui->textBrowser->moveCursor(QTextCursor::End);
}

void Widget::on_pushButton_clear_screen_clicked()
{
    ui->textBrowser->clear();
    textDisplayBuffer.clear();
    hexDisplayBuffer.clear();
    // Nothing is left on screen for the continuation of a held sequence to join.
    receiveCarry.reset();
}
