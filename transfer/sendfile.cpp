#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/warning.h"
#include "serial/port.h"
#include "serial/trace.h"
#include "transfer/blocks.h"
#include "transfer/delay.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>

void Widget::on_pushButton_send_file_path_clicked()
{
    const QString path = QFileDialog::getOpenFileName(
        this, Texts::ChooseFileTitle(), QStringLiteral("./"), Texts::AllFilesFilter());
    if (path.isEmpty())
        return;
    fileToSend = path;
    ui->pushButton_send_file_path->setText(path);
    ui->progressBar->setValue(0);
}

void Widget::on_pushButton_send_file_clicked()
{
    if (transfer) {
        CancelTransfer();
        return;
    }
    const SendProtocol protocol = ParseSendProtocol(ui->comboBox_sendProtocol->currentText());
    if (protocol != SendProtocol::Raw) {
        StartTransfer(protocol);
        return;
    }
    if (!serialPort || fileToSend.isEmpty()) {
        ShowWarning(Texts::FileWithoutPort());
        return;
    }
    QFile file(fileToSend);
    // A file removed or locked since it was chosen must not look as if it had been sent.
    if (!file.open(QIODevice::ReadOnly)) {
        ShowWarning(Texts::FileNotOpened());
        return;
    }
    ui->pushButton_send_file->setEnabled(false);

    const int session = reopenedSessions;
    const qint64 blockSize = SendBlockSize(serialPort->lineSettings().baudRate);
    const qint64 fileSize = file.size();
    qCDebug(DataTrace) << "File size:" << fileSize << " block size:" << blockSize;
    QElapsedTimer clock;
    clock.start();
    qint64 deadline = 0;
    for (qint64 k = 1; !file.atEnd(); ++k) {
        const QByteArray block = file.read(blockSize);
        // A read error (a failing drive) yields nothing without reaching the end; going on would
        // never finish.
        if (block.isEmpty())
            break;
        qCDebug(DataTrace) << block;
        // The port may have been closed while the previous pause kept the event loop running,
        // and reopened after an unplug, which does not resume the transfer.
        if (!serialPort || reopenedSessions != session)
            break;
        // Written outside the trace: a disabled category skips its arguments.
        const qint64 written = WriteToPort(block);
        qCDebug(DataTrace) << "wLen:" << written;
        const qint64 progress = SendProgress(k, blockSize, fileSize);
        qCDebug(DataTrace) << "trasmit: %" << progress;
        // Past 100 only after a short last block; the bar keeps its value then.
        if (progress <= 100)
            ui->progressBar->setValue(int(progress));
        deadline = NextBlockDeadline(deadline, clock.elapsed());
        Delay(deadline - clock.elapsed());
    }

    ui->progressBar->setValue(100);
    ui->pushButton_send_file->setEnabled(true);
}
