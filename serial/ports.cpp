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
#include "serial/neturl.h"
#include "serial/networkport.h"
#include "serial/openfailure.h"
#include "serial/portscan.h"
#include "serial/reopen.h"
#include "serial/serialport.h"
#include "serial/trace.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
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

// The network ports, in the order listed: always the last entries of the port list.
QList<NetPortUrl> networkPorts;

// A device path given on the command line, listed while it exists though the system does not
// enumerate it.
QString commandLinePath;

// An open is under way: a network port's connect handles events while it waits, and nothing
// may start another open meanwhile.
bool opening = false;

int FirstNetworkEntry()
{
    return portNameList.size() - networkPorts.size();
}

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
    if (!commandLinePath.isEmpty() && QFileInfo::exists(commandLinePath))
        ports.append({commandLinePath, QString()});
    return ports;
}

} // namespace

void Widget::_KESTO_GetSerialPorts()
{
    QStringList current;
    for (const ReportedPort &port : ReportedPorts()) {
        current.append(port.name);
        if (!portNameList.contains(port.name)) {
            const int at = FirstNetworkEntry();
            portNameList.insert(at, port.name);
            ui->comboBox_serial->insertItem(at, port.name);
            DebugTrace(QStringLiteral("Add Serial Port: ") + port.name + QStringLiteral("[") +
                       port.description + QStringLiteral("]"));
        }
    }

    // No advance after a removal: the entry that moves up is examined next.
    // The network ports are never probed: their server answers only when one opens them.
    int position = 0;
    while (position < FirstNetworkEntry()) {
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
    if (opening)
        return false;
    const QString name = ui->comboBox_serial->currentText();
    const std::optional<NetPortUrl> url = ParseNetPortUrl(name);
    Port *port = url ? static_cast<Port *>(new NetworkPort(*url)) : new SerialPort(name);
    const LineSettings line =
        LineSettingsAt(ui->comboBox_baudrate->currentText(), ui->comboBox_databits->currentIndex(),
                       ui->comboBox_parity->currentIndex(), ui->comboBox_stopbits->currentIndex(),
                       ui->comboBox_flowcontrol->currentIndex());
    DebugTrace(caller + QStringLiteral("(Opening ") + name + QStringLiteral(")"));

    // A connect handles events while it waits: the selectors and OPEN stay as they are meanwhile,
    // and `serialPort` is set only once the port is open, so the scan, the timers and the slots
    // never see a port that is not.
    opening = true;
    SetPortSelectorsEnabled(false);
    ui->pushButton_serialOpen->setEnabled(false);
    const bool opened = port->open(line);
    ui->pushButton_serialOpen->setEnabled(true);
    SetPortSelectorsEnabled(!opened);
    opening = false;

    if (!opened) {
        const QString reason = port->errorString();
        // Released before the box, under which the scan and the timers keep running.
        delete port;
        if (warnOnFailure)
            ShowWarning(
                Texts::PortOpenFailed(),
                OpenFailureDetails(name, reason, url ? QString() : DeniedDeviceGroup(name)));
        DebugTrace(caller + QStringLiteral("(") + name + QStringLiteral(" Open Fail)"));
        return false;
    }

    serialPort = port;
    openPortName = name;
    // Before anything is sent: the lines the board's reset and boot pins hang on.
    StartLines();
    serialPort->setReadBufferSize(BurstMaxBytes);
    connect(serialPort, &Port::dataArrived, this, &Widget::_KESTO_UartRecvIRQ_Handler);
    // Queued: the port is deleted by the close, and must not be from within its own signal.
    connect(serialPort, &Port::vanished, this, &Widget::ClosePortThatWent, Qt::QueuedConnection);
    ui->pushButton_serialOpen->setText(Texts::CloseButton());
    ui->pushButton_serialOpen->setStyleSheet(Styles::OpenButtonOpen());
    DebugTrace(caller + QStringLiteral("(") + name + QStringLiteral(" Open Success ") +
               QString::number(serialPort->lineSettings().baudRate) + QStringLiteral(")"));
    return true;
}

void Widget::ClosePortThatWent()
{
    // The session may have been closed, or another port opened, since the signal was queued.
    if (!serialPort || !serialPort->hasGone())
        return;
    const QString name = openPortName;
    ClosePort(QStringLiteral("ClosePortThatWent"));
    if (autoReopenAction->isChecked())
        reopenWatch.arm(name, MonotonicMs());
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

void Widget::SetPortSelectorsEnabled(bool enabled)
{
    // Their keys and defaults are the settings table's (config/globalsettings.h).
    for (QComboBox *selector :
         {ui->comboBox_serial, ui->comboBox_baudrate, ui->comboBox_databits, ui->comboBox_parity,
          ui->comboBox_flowcontrol, ui->comboBox_stopbits})
        selector->setEnabled(enabled);
}

void Widget::SetUpNetworkPorts()
{
    networkPorts = SplitNetPorts(settings->value(Keys::NetworkPorts).toString());
    commandLinePath.clear();
    for (const NetPortUrl &url : networkPorts) {
        portNameList.append(url.toString());
        ui->comboBox_serial->addItem(url.toString());
    }
    ui->comboBox_serial->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->comboBox_serial, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu;
        QAction *add = menu.addAction(Texts::AddNetworkPortOption());
        add->setObjectName(QStringLiteral("action_addNetworkPort"));
        QAction *remove = menu.addAction(Texts::RemoveNetworkPortOption());
        remove->setObjectName(QStringLiteral("action_removeNetworkPort"));
        const int current = ui->comboBox_serial->currentIndex();
        remove->setEnabled(current >= FirstNetworkEntry());
        connect(add, &QAction::triggered, this, &Widget::AskForNetworkPort, Qt::QueuedConnection);
        connect(remove, &QAction::triggered, this, [this, current] { RemoveNetworkPort(current); });
        menu.exec(ui->comboBox_serial->mapToGlobal(at));
    });
}

void Widget::AskForNetworkPort()
{
    bool confirmed = false;
    const QString entry =
        QInputDialog::getText(this, Texts::AddNetworkPortTitle(), Texts::AddNetworkPortLabel(),
                              QLineEdit::Normal, QString(), &confirmed);
    if (!confirmed)
        return;
    const std::optional<NetPortUrl> url = ParseNetPortUrl(entry);
    if (!url) {
        ShowWarning(Texts::BadNetworkPort(entry));
        return;
    }
    ui->comboBox_serial->setCurrentIndex(AddNetworkPort(*url));
    reopenWatch.cancel();
}

int Widget::AddNetworkPort(const NetPortUrl &url)
{
    const QString name = url.toString();
    const int listed = portNameList.indexOf(name);
    if (listed >= 0)
        return listed;
    networkPorts.append(url);
    portNameList.append(name);
    ui->comboBox_serial->addItem(name);
    settings->setValue(Keys::NetworkPorts, JoinNetPorts(networkPorts));
    return portNameList.size() - 1;
}

void Widget::RemoveNetworkPort(int index)
{
    const int first = FirstNetworkEntry();
    if (index < first || index >= portNameList.size())
        return;
    if (reopenWatch.portName() == portNameList.at(index))
        reopenWatch.cancel();
    networkPorts.removeAt(index - first);
    portNameList.removeAt(index);
    ui->comboBox_serial->removeItem(index);
    settings->setValue(Keys::NetworkPorts, JoinNetPorts(networkPorts));
}

void Widget::OpenFromCommandLine(const QString &name, const QString &baudRate)
{
    if (!baudRate.isEmpty())
        ui->comboBox_baudrate->setCurrentText(baudRate);
    QString listedName = name;
    if (const std::optional<NetPortUrl> url = ParseNetPortUrl(name)) {
        listedName = url->toString();
        AddNetworkPort(*url);
    } else if (name.contains(QLatin1Char('/'))) {
        commandLinePath = name;
    }
    _KESTO_GetSerialPorts();
    const int index = portNameList.indexOf(listedName);
    if (index < 0) {
        // Not there to choose: the box says why, as it would for a listed port that is not.
        SerialPort missing(name);
        missing.open(LineSettings());
        ShowWarning(Texts::PortOpenFailed(),
                    OpenFailureDetails(name, missing.errorString(), QString()));
        return;
    }
    ui->comboBox_serial->setCurrentIndex(index);
    OpenPort(QStringLiteral("OpenFromCommandLine"), true);
}
