#include "protocol.h"

namespace {

constexpr char ctrlZ = 0x1A;

QByteArray framed(const QByteArray &text)
{
    return "\r\n" + text + "\r\n";
}

const QByteArray ok = framed("OK");
const QByteArray error = framed("ERROR");

// A destination number as modules accept it in text mode: digits with an optional leading "+".
bool isQuotedNumber(const QByteArray &argument)
{
    if (argument.size() < 3 || !argument.startsWith('"') || !argument.endsWith('"'))
        return false;
    const QByteArray number = argument.mid(1, argument.size() - 2);
    for (int i = 0; i < number.size(); ++i) {
        const char c = number.at(i);
        if (!(c >= '0' && c <= '9') && !(c == '+' && i == 0))
            return false;
    }
    return number != "+";
}

} // namespace

QByteArray ModuleProtocol::feed(const QByteArray &in)
{
    QByteArray out;
    for (const char c : in) {
        if (mode == Mode::MessageText) {
            if (c == ctrlZ)
                out += sendMessage();
            else if (echo)
                out += c;
            continue;
        }
        if (c == '\n')
            continue;
        if (echo)
            out += c;
        if (c == '\r') {
            out += lineTooLong ? error : execute(line.toUpper());
            line.clear();
            lineTooLong = false;
        } else if (line.size() < maxCommandLength) {
            line += c;
        } else {
            lineTooLong = true;
        }
    }
    return out;
}

QByteArray ModuleProtocol::execute(const QByteArray &command)
{
    // A bare CR is no command; modules stay silent.
    if (command.isEmpty())
        return {};
    if (command == "AT")
        return ok;
    if (command == "ATE0" || command == "ATE1") {
        echo = command.endsWith('1');
        return ok;
    }
    if (command == "ATI") {
        return "\r\n" + QByteArray(ModuleIdentity::maker) + "\r\n" + ModuleIdentity::model +
               "\r\nRevision: " + ModuleIdentity::revision + "\r\n" + ok;
    }
    if (command == "AT+CSQ")
        return framed("+CSQ: 23,99") + ok;
    if (command == "AT+CGMR")
        return framed(ModuleIdentity::revision) + ok;
    if (command.startsWith("AT+CMGS=") && isQuotedNumber(command.mid(8))) {
        mode = Mode::MessageText;
        return "\r\n> ";
    }
    return error;
}

QByteArray ModuleProtocol::sendMessage()
{
    mode = Mode::Command;
    const int reference = nextReference;
    // The message reference is one octet on the air interface.
    nextReference = (nextReference + 1) % 256;
    return framed("+CMGS: " + QByteArray::number(reference)) + ok;
}
