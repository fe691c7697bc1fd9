#include "serial/telnet.h"

#include <cstring>

using namespace telnet;

namespace {

// The options this client takes: its own side and the server's.
bool TakesLocal(quint8 option)
{
    return option == Binary || option == ComPort || option == SuppressGoAhead;
}

bool TakesRemote(quint8 option)
{
    return option == Binary || option == SuppressGoAhead;
}

const char *FindIac(const char *from, const char *end)
{
    const void *found = std::memchr(from, IAC, size_t(end - from));
    return found ? static_cast<const char *>(found) : end;
}

// What each of the server's answers (its code less ServerOffset) reports.
struct Report
{
    quint8 command;
    ComPortEvent::Kind kind;
    int size; // of its value
};
constexpr Report Reports[] = {
    {SetBaudRate, ComPortEvent::BaudRate, 4},
    {SetDataSize, ComPortEvent::DataSize, 1},
    {SetParity, ComPortEvent::Parity, 1},
    {SetStopSize, ComPortEvent::StopSize, 1},
    {SetControl, ComPortEvent::Control, 1},
    {NotifyLineState, ComPortEvent::LineState, 1},
    {NotifyModemState, ComPortEvent::ModemState, 1},
    {FlowControlSuspend, ComPortEvent::FlowSuspend, 0},
    {FlowControlResume, ComPortEvent::FlowResume, 0},
};

} // namespace

namespace telnet {

quint8 DataSizeCode(QSerialPort::DataBits dataBits)
{
    return dataBits >= QSerialPort::Data5 && dataBits <= QSerialPort::Data8 ? quint8(dataBits) : 0;
}

quint8 ParityCode(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::NoParity:
        return 1;
    case QSerialPort::OddParity:
        return 2;
    case QSerialPort::EvenParity:
        return 3;
    case QSerialPort::MarkParity:
        return 4;
    case QSerialPort::SpaceParity:
        return 5;
    default:
        return 0;
    }
}

quint8 StopSizeCode(QSerialPort::StopBits stopBits)
{
    switch (stopBits) {
    case QSerialPort::OneStop:
        return 1;
    case QSerialPort::TwoStop:
        return 2;
    case QSerialPort::OneAndHalfStop:
        return 3;
    default:
        return 0;
    }
}

quint8 FlowControlCode(QSerialPort::FlowControl flowControl)
{
    switch (flowControl) {
    case QSerialPort::NoFlowControl:
        return NoFlowControl;
    case QSerialPort::SoftwareControl:
        return XonXoffFlowControl;
    case QSerialPort::HardwareControl:
        return HardwareFlowControl;
    default:
        return 0;
    }
}

QByteArray EscapeIac(const QByteArray &data)
{
    const char *p = data.constData();
    const char *end = p + data.size();
    const char *iac = FindIac(p, end);
    if (iac == end)
        return data;
    QByteArray out;
    out.reserve(data.size() + data.count(char(IAC)));
    while (iac != end) {
        out.append(p, int(iac + 1 - p)).append(char(IAC));
        p = iac + 1;
        iac = FindIac(p, end);
    }
    return out.append(p, int(end - p));
}

QByteArray ComPortSubnegotiation(quint8 command, const QByteArray &value)
{
    const char head[] = {char(IAC), char(SB), char(ComPort), char(command)};
    const char tail[] = {char(IAC), char(SE)};
    return QByteArray(head, sizeof head) + EscapeIac(value) + QByteArray(tail, sizeof tail);
}

QByteArray ComPortSubnegotiation(quint8 command, quint8 value)
{
    return ComPortSubnegotiation(command, QByteArray(1, char(value)));
}

QByteArray BaudRateSubnegotiation(quint8 command, quint32 baudRate)
{
    const char value[] = {char(baudRate >> 24), char(baudRate >> 16), char(baudRate >> 8),
                          char(baudRate)};
    return ComPortSubnegotiation(command, QByteArray(value, sizeof value));
}

} // namespace telnet

QByteArray TelnetClient::start()
{
    std::fill(std::begin(local), std::end(local), No);
    std::fill(std::begin(remote), std::end(remote), No);
    std::fill(std::begin(isSent), std::end(isSent), false);
    parse = Data;
    afterCr = false;
    sub.clear();

    local[Binary] = remote[Binary] = local[ComPort] = remote[SuppressGoAhead] = WantYes;
    const char opening[] = {char(IAC),     char(WILL),   char(Binary), char(IAC),
                            char(DO),      char(Binary), char(IAC),    char(WILL),
                            char(ComPort), char(IAC),    char(DO),     char(SuppressGoAhead)};
    return QByteArray(opening, sizeof opening);
}

TelnetClient::Received TelnetClient::receive(const QByteArray &bytes)
{
    Received out;
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    // The usual chunk, binary data without an IAC, is handed on without a copy.
    if (parse == Data && binaryFromServer() && FindIac(p, end) == end) {
        if (!bytes.isEmpty())
            afterCr = false;
        out.data = bytes;
        return out;
    }
    out.data.reserve(bytes.size());
    while (p < end) {
        switch (parse) {
        case Data:
            if (binaryFromServer()) {
                // Only data ends a CR's wait for its NUL; commands between the two do not.
                const char *iac = FindIac(p, end);
                if (iac > p)
                    afterCr = false;
                out.data.append(p, int(iac - p));
                p = iac;
                if (p < end) {
                    ++p;
                    parse = Iac;
                }
            } else {
                const quint8 c = quint8(*p++);
                if (c == IAC) {
                    parse = Iac;
                } else if (afterCr && c == 0) {
                    afterCr = false; // CR NUL stands for a bare CR
                } else {
                    afterCr = c == '\r';
                    out.data.append(char(c));
                }
            }
            break;
        case Iac: {
            const quint8 c = quint8(*p++);
            parse = Data;
            if (c == IAC) {
                out.data.append(char(IAC));
                afterCr = false;
            } else if (c >= WILL) {
                verb = c;
                parse = Verb;
            } else if (c == SB) {
                sub.clear();
                subOverflow = false;
                parse = Sub;
            } // anything else (NOP, GA, Data Mark, a stray SE...) has nothing to do here
            break;
        }
        case Verb:
            parse = Data;
            negotiate(verb, quint8(*p++), out);
            break;
        case Sub: {
            const char *iac = FindIac(p, end);
            const int room = SubnegotiationLimit - sub.size();
            if (iac - p > room)
                subOverflow = true;
            sub.append(p, int(std::min<qptrdiff>(iac - p, room)));
            p = iac;
            if (p < end) {
                ++p;
                parse = SubIac;
            }
            break;
        }
        case SubIac:
            if (quint8(*p) == IAC) {
                ++p;
                if (sub.size() < SubnegotiationLimit)
                    sub.append(char(IAC));
                else
                    subOverflow = true;
                parse = Sub;
            } else if (quint8(*p) == SE) {
                ++p;
                if (!subOverflow)
                    subnegotiation(out);
                sub.clear();
                parse = Data;
            } else {
                // A command inside a subnegotiation: the server never ended it. Drop it and take
                // the command, which picks up again after a lost IAC SE.
                sub.clear();
                parse = Iac;
            }
            break;
        }
    }
    return out;
}

void TelnetClient::negotiate(quint8 verb, quint8 option, Received &out)
{
    const bool ours = verb == DO || verb == DONT;
    const bool enable = verb == DO || verb == WILL;
    State &state = ours ? local[option] : remote[option];
    const auto reply = [&](quint8 answer) {
        out.reply.append(char(IAC)).append(char(answer)).append(char(option));
    };

    if (enable) {
        if (state == Yes || state == Refused)
            return;
        if (state == No) {
            if (!(ours ? TakesLocal(option) : TakesRemote(option))) {
                state = Refused;
                reply(ours ? WONT : DONT);
                return;
            }
            reply(ours ? WILL : DO);
        }
        state = Yes;
        if (ours && option == ComPort) {
            out.reply.append(unsentSettings());
            out.events.append(ComPortEvent{ComPortEvent::Accepted});
        }
    } else {
        if (state == No || state == Refused)
            return;
        if (state == Yes)
            reply(ours ? WONT : DONT);
        state = No;
        if (ours && option == ComPort) {
            std::fill(std::begin(isSent), std::end(isSent), false);
            out.events.append(ComPortEvent{ComPortEvent::Refused});
        }
    }
}

void TelnetClient::subnegotiation(Received &out) const
{
    if (sub.size() < 2 || quint8(sub.at(0)) != ComPort)
        return;
    const quint8 command = quint8(sub.at(1)) - ServerOffset;
    const auto *value = reinterpret_cast<const quint8 *>(sub.constData() + 2);
    const int size = sub.size() - 2;
    for (const Report &report : Reports) {
        if (report.command != command)
            continue;
        if (size < report.size)
            return;
        quint32 number = 0;
        for (int i = 0; i < report.size; ++i)
            number = number << 8 | value[i];
        out.events.append(ComPortEvent{report.kind, number});
        return;
    }
}

QByteArray TelnetClient::encodeData(const QByteArray &data) const
{
    if (binaryToServer())
        return EscapeIac(data);
    QByteArray out;
    out.reserve(data.size() + data.size() / 8);
    for (const char c : data) {
        out.append(c);
        if (c == '\r')
            out.append('\0');
        else if (quint8(c) == IAC)
            out.append(c);
    }
    return out;
}

void TelnetClient::want(Setting setting, quint32 value)
{
    if (!isWanted[setting] || wanted[setting] != value) {
        wanted[setting] = value;
        isWanted[setting] = true;
        isSent[setting] = false;
    }
}

QByteArray TelnetClient::set(Setting setting, quint32 value)
{
    want(setting, value);
    return comPortActive() ? unsentSettings() : QByteArray();
}

QByteArray TelnetClient::unsentSettings()
{
    static constexpr quint8 Commands[SettingCount] = {SetBaudRate, SetDataSize, SetParity,
                                                      SetStopSize, SetControl,  SetControl,
                                                      SetControl,  SetControl,  SetModemStateMask};
    QByteArray out;
    for (int s = 0; s < SettingCount; ++s) {
        if (!isWanted[s] || isSent[s])
            continue;
        isSent[s] = true;
        out += s == Baud ? BaudRateSubnegotiation(Commands[s], wanted[s])
                         : ComPortSubnegotiation(Commands[s], quint8(wanted[s]));
    }
    return out;
}

QByteArray TelnetClient::setLineSettings(const LineSettings &settings)
{
    want(Baud, quint32(settings.baudRate));
    want(DataSize, DataSizeCode(settings.dataBits));
    want(Parity, ParityCode(settings.parity));
    want(StopSize, StopSizeCode(settings.stopBits));
    return set(Flow, FlowControlCode(settings.flowControl));
}

QByteArray TelnetClient::setDataTerminalReady(bool on)
{
    return set(Dtr, on ? DtrOn : DtrOff);
}

QByteArray TelnetClient::setRequestToSend(bool on)
{
    return set(Rts, on ? RtsOn : RtsOff);
}

QByteArray TelnetClient::setBreak(bool on)
{
    return set(Break, on ? BreakOn : BreakOff);
}

QByteArray TelnetClient::setModemStateMask(quint8 mask)
{
    return set(ModemMask, mask);
}

bool TelnetClient::comPortActive() const
{
    return local[ComPort] == Yes;
}

bool TelnetClient::binaryToServer() const
{
    return local[Binary] == Yes;
}

bool TelnetClient::binaryFromServer() const
{
    return remote[Binary] == Yes;
}

int TelnetClient::heldBytes() const
{
    return sub.size();
}
