#include "serial/lineparams.h"

namespace {

template <typename T, std::size_t N> void TakeItem(const T (&items)[N], int index, T &setting)
{
    if (index >= 0 && std::size_t(index) < N)
        setting = items[index];
}

} // namespace

LineSettings LineSettingsAt(const QString &baudRate, int dataBits, int parity, int stopBits,
                            int flowControl)
{
    LineSettings settings;
    settings.baudRate = baudRate.toInt();
    TakeItem(DataBitsItems, dataBits, settings.dataBits);
    TakeItem(ParityItems, parity, settings.parity);
    TakeItem(StopBitsItems, stopBits, settings.stopBits);
    TakeItem(FlowControlItems, flowControl, settings.flowControl);
    return settings;
}

void ApplyLineSettings(QSerialPort *port, const LineSettings &settings)
{
    port->setBaudRate(settings.baudRate, QSerialPort::AllDirections);
    port->setDataBits(settings.dataBits);
    port->setParity(settings.parity);
    port->setStopBits(settings.stopBits);
    port->setFlowControl(settings.flowControl);
}
