#pragma once

#include <QByteArray>

// What the simulated module says about itself (ATI, AT+CGMR).
namespace ModuleIdentity {
inline constexpr char maker[] = "Kesto";
inline constexpr char model[] = "KM210 LTE Cat-1";
inline constexpr char revision[] = "KM210.01.005";
} // namespace ModuleIdentity

// The AT command side of a cellular module, free of any I/O: bytes from the terminal go in, the
// bytes the module sends back (echo and replies, in order) come out. Commands end with CR; an LF
// is ignored in commands so terminals that send CR LF work too.
class ModuleProtocol
{
public:
    QByteArray feed(const QByteArray &in);

    bool echoEnabled() const { return echo; }
    bool collectingMessage() const { return mode == Mode::MessageText; }

    // Longer command lines are answered with ERROR instead of growing without bound.
    static constexpr int maxCommandLength = 512;

private:
    enum class Mode { Command, MessageText };

    QByteArray execute(const QByteArray &command);
    QByteArray sendMessage();

    Mode mode = Mode::Command;
    bool echo = true;
    QByteArray line;
    bool lineTooLong = false;
    int nextReference = 1;
};
