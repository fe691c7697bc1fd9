#pragma once

#include <QSerialPort>
#include <QString>

// What the items of the line-parameter selectors stand for: entry i of a table is the setting of
// its selector's item i, in the order the form lists the items.
constexpr QSerialPort::DataBits DataBitsItems[] = {QSerialPort::Data5, QSerialPort::Data6,
                                                   QSerialPort::Data7, QSerialPort::Data8};
constexpr QSerialPort::Parity ParityItems[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                               QSerialPort::EvenParity, QSerialPort::MarkParity,
                                               QSerialPort::SpaceParity};
constexpr QSerialPort::StopBits StopBitsItems[] = {
    QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};
constexpr QSerialPort::FlowControl FlowControlItems[] = {
    QSerialPort::NoFlowControl, QSerialPort::HardwareControl, QSerialPort::SoftwareControl};

// A setting not known (what a server has not acknowledged): Qt 5 names these values Unknown…,
// Qt 6 has no names for them.
constexpr auto UnknownDataBits = QSerialPort::DataBits(-1);
constexpr auto UnknownParity = QSerialPort::Parity(-1);
constexpr auto UnknownStopBits = QSerialPort::StopBits(-1);
constexpr auto UnknownFlowControl = QSerialPort::FlowControl(-1);

// The settings a port is opened with.
struct LineSettings
{
    qint32 baudRate = 0;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
};

// The settings for the selectors' current items: the baud rate from its decimal text (0 when it
// is none), the others by item index. An index outside its table (-1: an empty selector) leaves
// the default above.
LineSettings LineSettingsAt(const QString &baudRate, int dataBits, int parity, int stopBits,
                            int flowControl);

// Gives the port these settings, the baud rate in both directions.
void ApplyLineSettings(QSerialPort *port, const LineSettings &settings);
