#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/globalsettings.h"
#include "serial/consolemodel.h"
#include "serial/port.h"
#include "serial/trace.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

QString FailureReason(XmodemSender::Failure failure)
{
    switch (failure) {
    case XmodemSender::Failure::ReceiverCancelled:
        return Texts::ReceiverCancelledReason();
    case XmodemSender::Failure::NoAnswer:
        return Texts::NoAnswerReason();
    case XmodemSender::Failure::TooManyRetries:
        return Texts::TooManyRetriesReason();
    case XmodemSender::Failure::FileUnreadable:
        return Texts::FileUnreadableReason();
    case XmodemSender::Failure::PortClosed:
        return Texts::PortClosedReason();
    case XmodemSender::Failure::Cancelled:
    case XmodemSender::Failure::None:
        break;
    }
    return Texts::CancelledReason();
}

// The box for an end the user did not ask for; empty for success and the user's cancel.
QString FailureBox(XmodemSender::Failure failure)
{
    switch (failure) {
    case XmodemSender::Failure::ReceiverCancelled:
        return Texts::ReceiverCancelledBox();
    case XmodemSender::Failure::NoAnswer:
        return Texts::NoAnswerBox();
    case XmodemSender::Failure::TooManyRetries:
        return Texts::TooManyRetriesBox();
    case XmodemSender::Failure::FileUnreadable:
        return Texts::FileUnreadableBox();
    case XmodemSender::Failure::PortClosed:
        return Texts::PortClosedBox();
    case XmodemSender::Failure::Cancelled:
    case XmodemSender::Failure::None:
        break;
    }
    return QString();
}

} // namespace

void Widget::SetTransferTimeouts(const XmodemTimeouts &timeouts)
{
    transferTimeouts = timeouts;
}

void Widget::on_comboBox_sendProtocol_currentIndexChanged(const QString &)
{
    StoreSetting(ui->comboBox_sendProtocol);
}

void Widget::StartTransfer(SendProtocol protocol)
{
    if (!serialPort || fileToSend.isEmpty()) {
        ShowWarning(Texts::FileWithoutPort());
        return;
    }
    XmodemFile file = XmodemFile::open(fileToSend);
    if (!file.isValid()) {
        ShowWarning(Texts::FileNotOpened());
        return;
    }
    if (!transferTimer) {
        transferTimer = new QTimer(this);
        transferTimer->setSingleShot(true);
        connect(transferTimer, &QTimer::timeout, this, [this] {
            if (transfer)
                TransferStep(transfer->tick(transferClock.elapsed()));
        });
    }
    // What came before the click is the console's; a burst waiting for its read would otherwise
    // be read from under the protocol.
    readTimer->stop();
    FlushReceived();

    transfer = std::make_unique<XmodemSender>(protocol, std::move(file), transferTimeouts);
    qCDebug(DataTrace) << "Transfer:" << SendProtocolText(protocol) << fileToSend
                       << transfer->fileSize();
    console->showNote(Texts::TransferStarted(SendProtocolText(protocol), transfer->fileSize()),
                      ConsoleOptionsShown(), QDateTime::currentDateTime());
    ui->progressBar->setValue(0);
    ui->pushButton_send_file->setText(Texts::CancelSendButton());
    SetReceiveConsumer([this](const QByteArray &bytes) { TransferReceived(bytes); });
    transferClock.start();
    TransferStep(transfer->start(0));
}

void Widget::CancelTransfer()
{
    TransferStep(transfer->cancel());
}

void Widget::EndTransferForClose()
{
    if (!transfer)
        return;
    transfer->portClosed();
    TransferStep(QByteArray());
}

void Widget::TransferReceived(const QByteArray &bytes)
{
    if (!transfer)
        return;
    // One byte at a time, so that what the receiver prints after the end (U-Boot's summary)
    // reaches the console instead of the finished engine.
    const qint64 now = transferClock.elapsed();
    QByteArray output;
    for (int i = 0; i < bytes.size(); ++i) {
        output += transfer->received(QByteArray::fromRawData(bytes.constData() + i, 1), now);
        if (transfer->isFinished()) {
            TransferStep(output, bytes.mid(i + 1));
            return;
        }
    }
    TransferStep(output);
}

void Widget::TransferStep(const QByteArray &output, const QByteArray &rest)
{
    if (!output.isEmpty() && serialPort)
        WriteToPort(output);
    ui->progressBar->setValue(transfer->percent());
    if (transfer->isFinished()) {
        FinishTransfer(rest);
        return;
    }
    transferTimer->start(int(qMax<qint64>(0, transfer->deadline() - transferClock.elapsed())));
}

void Widget::FinishTransfer(const QByteArray &rest)
{
    transferTimer->stop();
    SetReceiveConsumer(nullptr);
    const std::unique_ptr<XmodemSender> ended = std::move(transfer);
    const QString protocol = SendProtocolText(ended->protocol());
    const XmodemSender::Failure failure = ended->failure();
    qCDebug(DataTrace) << "Transfer ended:" << int(failure) << ended->acknowledgedBytes()
                       << "resent:" << ended->resent();
    const QString line = ended->state() == XmodemSender::State::Done
                             ? Texts::TransferDone(protocol, ended->fileSize())
                             : Texts::TransferStopped(protocol, FailureReason(failure));
    console->showNote(line, ConsoleOptionsShown(), QDateTime::currentDateTime());
    if (!rest.isEmpty())
        ShowData(rest, true);
    ui->pushButton_send_file->setText(Texts::SendFileButton());
    const QString box = FailureBox(failure);
    // Later, from the event loop: the end may come in the middle of closing the port.
    if (!box.isEmpty())
        QTimer::singleShot(0, this, [box] { ShowWarning(box); });
}
