#include "app/widget.h"

#include "app/form/styles.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "config/globalsettings.h"
#include "serial/lineparams.h"
#include "serial/port.h"
#include "serial/trace.h"

#include <QMenu>
#include <QTimer>

namespace {

// How long a pulse inverts its line: long enough for a board's reset circuit, short enough to
// be one action.
constexpr int PulseMs = 100;
constexpr int BreakMs = 250;
// How often the modem lines are read while a port is open, and how soon the counters follow
// traffic.
constexpr int LinePollMs = 200;

enum class LineLook { Dim, Lit, Unknown };

LineLook LookOf(bool on)
{
    return on ? LineLook::Lit : LineLook::Dim;
}

QString LineStyle(LineLook look)
{
    switch (look) {
    case LineLook::Lit:
        return Styles::LineIndicatorLit();
    case LineLook::Unknown:
        return Styles::LineIndicatorUnknown();
    case LineLook::Dim:
        break;
    }
    return Styles::LineIndicatorDim();
}

// Sets a label's look only when it changes: each style sheet set polishes the label again.
void ShowLine(QLabel *label, LineLook look)
{
    const QString style = LineStyle(look);
    if (label->styleSheet() != style)
        label->setStyleSheet(style);
}

QString CountText(const char *direction, qint64 count)
{
    return QLatin1String(direction) + QLatin1Char(' ') + QString::number(count);
}

} // namespace

void Widget::SetUpLineStrip()
{
    lineTimer = new QTimer(ui->widget_lineStrip);
    lineTimer->setInterval(LinePollMs);
    connect(lineTimer, &QTimer::timeout, this, &Widget::ReadLines);
    breakTimer = new QTimer(ui->widget_lineStrip);
    breakTimer->setSingleShot(true);
    connect(breakTimer, &QTimer::timeout, this, [this] { EndBreak(); });
    for (QPushButton *toggle : {ui->pushButton_dtr, ui->pushButton_rts}) {
        auto *pulse = new QTimer(ui->widget_lineStrip);
        pulse->setSingleShot(true);
        // The pulse over, the line goes back to what its toggle shows.
        connect(pulse, &QTimer::timeout, this, [this, toggle] {
            if (serialPort)
                SetLine(toggle, toggle->isChecked());
        });
        (toggle == ui->pushButton_dtr ? dtrPulse : rtsPulse) = pulse;
        toggle->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(toggle, &QWidget::customContextMenuRequested, this, [this, toggle](QPoint at) {
            QMenu menu;
            QAction *pulseAction = menu.addAction(Texts::PulseOption());
            pulseAction->setEnabled(serialPort != nullptr);
            if (menu.exec(toggle->mapToGlobal(at)) == pulseAction)
                PulseLine(toggle);
        });
    }
    ui->label_rxCount->installEventFilter(this);
    ui->label_txCount->installEventFilter(this);
}

Port::LineResult Widget::SetLine(QPushButton *toggle, bool on)
{
    const bool dtr = toggle == ui->pushButton_dtr;
    const Port::LineResult result =
        dtr ? serialPort->setDataTerminalReady(on) : serialPort->setRequestToSend(on);
    if (result != Port::LineResult::Done)
        DebugTrace(QStringLiteral("%1(%2 %3 refused)")
                       .arg(toggle->objectName(), toggle->text(),
                            on ? QStringLiteral("on") : QStringLiteral("off")));
    return result;
}

void Widget::ToggleLine(QPushButton *toggle, bool checked)
{
    // With no port open the toggle only chooses what the next open applies.
    if (!serialPort)
        return;
    // A pulse under way ends with the line as the toggle shows it now.
    if ((toggle == ui->pushButton_dtr ? dtrPulse : rtsPulse)->isActive())
        return;
    if (SetLine(toggle, checked) != Port::LineResult::Done)
        toggle->setChecked(!checked);
}

void Widget::PulseLine(QPushButton *toggle)
{
    QTimer *pulse = toggle == ui->pushButton_dtr ? dtrPulse : rtsPulse;
    if (!serialPort || pulse->isActive() || !toggle->isEnabled())
        return;
    if (SetLine(toggle, !toggle->isChecked()) == Port::LineResult::Done)
        pulse->start(PulseMs);
}

void Widget::on_pushButton_dtr_clicked(bool checked)
{
    ToggleLine(ui->pushButton_dtr, checked);
}

void Widget::on_pushButton_rts_clicked(bool checked)
{
    ToggleLine(ui->pushButton_rts, checked);
}

void Widget::on_pushButton_dtr_toggled(bool)
{
    StoreSetting(ui->pushButton_dtr);
}

void Widget::on_pushButton_rts_toggled(bool)
{
    StoreSetting(ui->pushButton_rts);
}

void Widget::on_pushButton_break_clicked()
{
    if (!serialPort || breakTimer->isActive())
        return;
    if (serialPort->setBreakEnabled(true) == Port::LineResult::Done)
        breakTimer->start(BreakMs);
    else
        DebugTrace(QStringLiteral("pushButton_break(BRK refused)"));
}

void Widget::EndBreak()
{
    breakTimer->stop();
    if (serialPort && serialPort->setBreakEnabled(false) != Port::LineResult::Done)
        DebugTrace(QStringLiteral("pushButton_break(BRK end refused)"));
}

void Widget::UpdateRtsToggle()
{
    const int flow = ui->comboBox_flowcontrol->currentIndex();
    const bool driverOwnsRts = flow >= 0 && FlowControlItems[flow] == QSerialPort::HardwareControl;
    ui->pushButton_rts->setEnabled(!driverOwnsRts);
}

void Widget::StartLines()
{
    bytesReceived = 0;
    bytesSent = 0;
    linesReported = true;
    SetLine(ui->pushButton_dtr, ui->pushButton_dtr->isChecked());
    if (ui->pushButton_rts->isEnabled())
        SetLine(ui->pushButton_rts, ui->pushButton_rts->isChecked());
    ReadLines();
    lineTimer->start();
}

void Widget::StopLines()
{
    if (breakTimer->isActive())
        EndBreak();
    for (QPushButton *toggle : {ui->pushButton_dtr, ui->pushButton_rts}) {
        QTimer *pulse = toggle == ui->pushButton_dtr ? dtrPulse : rtsPulse;
        if (pulse->isActive()) {
            pulse->stop();
            SetLine(toggle, toggle->isChecked());
        }
    }
    lineTimer->stop();
    ShowCounts();
    for (QLabel *label : {ui->label_cts, ui->label_dsr, ui->label_dcd, ui->label_ri})
        ShowLine(label, LineLook::Dim);
}

void Widget::ReadLines()
{
    ShowCounts();
    if (!serialPort)
        return;
    // With no lines to read, the timer waits for traffic: an idle port wakes nothing.
    if (!linesReported) {
        lineTimer->stop();
        return;
    }
    const std::optional<Port::InputLines> lines = serialPort->inputLines();
    // A driver that cannot report them once will not later in the session: no more asking.
    linesReported = lines.has_value();
    if (!lines) {
        for (QLabel *label : {ui->label_cts, ui->label_dsr, ui->label_dcd, ui->label_ri})
            ShowLine(label, LineLook::Unknown);
        return;
    }
    ShowLine(ui->label_cts, LookOf(lines->cts));
    ShowLine(ui->label_dsr, LookOf(lines->dsr));
    ShowLine(ui->label_dcd, LookOf(lines->dcd));
    ShowLine(ui->label_ri, LookOf(lines->ri));
}

void Widget::CountsChanged()
{
    if (serialPort && !lineTimer->isActive())
        lineTimer->start();
}

void Widget::ShowCounts()
{
    const QString rx = CountText("RX", bytesReceived);
    if (ui->label_rxCount->text() != rx)
        ui->label_rxCount->setText(rx);
    const QString tx = CountText("TX", bytesSent);
    if (ui->label_txCount->text() != tx)
        ui->label_txCount->setText(tx);
}

void Widget::ResetCounts()
{
    bytesReceived = 0;
    bytesSent = 0;
    ShowCounts();
}
