#include "app/widget.h"

#include "app/form/styles.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/globalsettings.h"
#include "config/keys.h"
#include "serial/burst.h"
#include "serial/lineparams.h"
#include "serial/openfailure.h"
#include "serial/portscan.h"
#include "serial/reopen.h"
#include "serial/serialport.h"
#include "serial/trace.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QSerialPortInfo>
#include <QSettings>

namespace {

// The name the open port was chosen by. The port object reports "/dev/pts/3" as "pts/3", so
// the scan compares vanished names with this instead.
QString openPortName;

// The port that an unplug closed, while it may still be reopened.
ReopenWatch reopenWatch;

qint64 MonotonicMs()
{
    return QDeadlineTimer::current().deadline();
}

struct ReportedPort
{
    QString name;
    QString description;
};

// What the system's enumeration reported when it was last asked.
QList<ReportedPort> systemPorts;

QList<ReportedPort> ReportedPorts()
{
    static DeviceFolderWatch deviceFolders(DeviceFolderWatch::systemFolders());
    if (deviceFolders.enumerateNow()) {
        systemPorts.clear();
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            systemPorts.append({info.portName(), info.description()});
    }
    QList<ReportedPort> ports = systemPorts;
    // The enumeration never lists pseudo-terminals or links, so simulators are named here.
    for (const QString &path :
         ExistingExtraPorts(QString::fromLocal8Bit(qgetenv("SERMORA_EXTRA_PORTS"))))
        ports.append({path, QString()});
    return ports;
}

} // namespace

void Widget::_KESTO_GetSerialPorts()
{
    QStringList current;
    for (const ReportedPort &port : ReportedPorts()) {
        current.append(port.name);
        if (!portNameList.contains(port.name)) {
            portNameList.append(port.name);
            ui->comboBox_serial->addItem(port.name);
            DebugTrace(QStringLiteral("Add Serial Port: ") + port.name + QStringLiteral("[") +
                       port.description + QStringLiteral("]"));
        }
    }

    // No advance after a removal: the entry that moves up is examined next.
    int position = 0;
    while (position < portNameList.size()) {
        const QString name = portNameList.at(position);
        if (current.contains(name)) {
            ++position;
            continue;
        }
        DebugTrace(QStringLiteral("Del Serial Port: ") + name);
        if (serialPort && openPortName == name) {
            ClosePort(QStringLiteral("_KESTO_GetSerialPorts"));
            if (autoReopenAction->isChecked())
                reopenWatch.arm(name, MonotonicMs());
        }
        portNameList.removeAt(position);
        ui->comboBox_serial->removeItem(position);
    }

    if (reopenWatch.isPending())
        ReopenIfBack();
}

void Widget::ReopenIfBack()
{
    if (!autoReopenAction->isChecked()) {
        reopenWatch.cancel();
        return;
    }
    const int index = portNameList.indexOf(reopenWatch.portName());
    if (!reopenWatch.dueAtScan(index >= 0, MonotonicMs()))
        return;
    // As if the user had chosen the port and pressed OPEN, but a failure is only traced: the
    // device node often shows up before it may be opened, and the next scan tries again.
    ui->comboBox_serial->setCurrentIndex(index);
    if (OpenPort(QStringLiteral("_KESTO_GetSerialPorts"), false)) {
        reopenWatch.cancel();
        ++reopenedSessions;
    }
}

void Widget::on_comboBox_baudrate_currentIndexChanged(const QString &)
{
    StoreSetting(ui->comboBox_baudrate);
}

void Widget::on_comboBox_databits_currentIndexChanged(const QString &)
{
    StoreSetting(ui->comboBox_databits);
}

void Widget::on_comboBox_parity_currentIndexChanged(const QString &)
{
    StoreSetting(ui->comboBox_parity);
}

void Widget::on_comboBox_flowcontrol_currentIndexChanged(const QString &)
{
    StoreSetting(ui->comboBox_flowcontrol);
    UpdateRtsToggle();
}

void Widget::on_comboBox_stopbits_currentIndexChanged(const QString &)
{
    StoreSetting(ui->comboBox_stopbits);
}

void Widget::on_pushButton_serialOpen_clicked()
{
    reopenWatch.cancel();
    if (serialPort) {
        ClosePort(QStringLiteral("on_pushButton_serialOpen_clicked"));
        return;
    }
    OpenPort(QStringLiteral("on_pushButton_serialOpen_clicked"), true);
}

void Widget::on_comboBox_serial_activated(int)
{
    reopenWatch.cancel();
}

bool Widget::OpenPort(const QString &caller, bool warnOnFailure)
{
    const QString name = ui->comboBox_serial->currentText();
    serialPort = new SerialPort(name);
    const LineSettings line =
        LineSettingsAt(ui->comboBox_baudrate->currentText(), ui->comboBox_databits->currentIndex(),
                       ui->comboBox_parity->currentIndex(), ui->comboBox_stopbits->currentIndex(),
                       ui->comboBox_flowcontrol->currentIndex());
    DebugTrace(caller + QStringLiteral("(Opening ") + name + QStringLiteral(")"));

    if (!serialPort->open(line)) {
        const QString reason = serialPort->errorString();
        // Released before the box: the scan and the read timer keep running under it, and must
        // never see a port object that is not open.
        delete serialPort;
        serialPort = nullptr;
        if (warnOnFailure)
            ShowWarning(Texts::PortOpenFailed(),
                        OpenFailureDetails(name, reason, DeniedDeviceGroup(name)));
        DebugTrace(caller + QStringLiteral("(") + name + QStringLiteral(" Open Fail)"));
        return false;
    }

    openPortName = name;
    // Before anything is sent: the lines the board's reset and boot pins hang on.
    StartLines();
    serialPort->setReadBufferSize(BurstMaxBytes);
    connect(serialPort, &Port::dataArrived, this, &Widget::_KESTO_UartRecvIRQ_Handler);
    ui->pushButton_serialOpen->setText(Texts::CloseButton());
    ui->pushButton_serialOpen->setStyleSheet(Styles::OpenButtonOpen());
    DebugTrace(caller + QStringLiteral("(") + name + QStringLiteral(" Open Success ") +
               QString::number(serialPort->lineSettings().baudRate) + QStringLiteral(")"));
    SetPortSelectorsEnabled(false);
    return true;
}

void Widget::ClosePort(const QString &caller)
{
    DebugTrace(caller + QStringLiteral("(Close ") + openPortName + QStringLiteral("...)"));
    EndTransferForClose();
    // A burst still waiting for its read, and a sequence whose continuation will not come now.
    FlushReceived();
    StopLines();
    serialPort->close();
    delete serialPort;
    serialPort = nullptr;
    ui->pushButton_serialOpen->setText(Texts::OpenButton());
    ui->pushButton_serialOpen->setStyleSheet(Styles::OpenButtonClosed());
    SetPortSelectorsEnabled(true);
    DebugTrace(caller + QStringLiteral("(Close OK)"));
}

QList<QPair<QComboBox *, QString>> Widget::PortSelectors() const
{
    return {{ui->comboBox_serial, QString()},
            {ui->comboBox_baudrate, Keys::Baudrate},
            {ui->comboBox_databits, Keys::Databits},
            {ui->comboBox_parity, Keys::Parity},
            {ui->comboBox_flowcontrol, Keys::Flowcontrol},
            {ui->comboBox_stopbits, Keys::Stopbits}};
}

void Widget::SetPortSelectorsEnabled(bool enabled)
{
    for (const auto &selector : PortSelectors())
        selector.first->setEnabled(enabled);
}
