// libFuzzer target: the Telnet / COM-port client codec (serial/telnet.*) on any server stream.
//
// Input: a 5-byte header, then what the server sends.
//   [0] bit 0: the server granted binary both ways before; bit 1: it took the COM-port option
//       before; bit 2: line settings and DTR were asked for before
//   [1..4] four places (modulo the stream's length + 1) where the stream is cut into reads
// Checks:
// - the data is what a decoder written out here anew, byte by byte, makes of the stream;
// - cut anywhere, the stream gives the same data, answers and events as in one piece;
// - what is held between reads stays within SubnegotiationLimit, and the answers grow no faster
//   than the stream;
// - the stream taken as data, encoded in either mode with a COM-port report between two copies,
//   decodes to the two copies and that report.

#include "check.h"
#include "serial/telnet.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace telnet;

namespace {

// The data of a stream: IAC IAC is 0xFF, every other command and each subnegotiation (ended by
// IAC SE, or cut short by another command) is dropped, and outside binary mode a NUL after a CR.
// The server's WILL and WONT BINARY switch the mode.
QByteArray referenceData(const QByteArray &stream, bool binary)
{
    QByteArray data;
    bool inSub = false;
    bool afterCr = false;
    for (int i = 0; i < stream.size(); ++i) {
        const quint8 c = quint8(stream.at(i));
        if (c != IAC) {
            if (!inSub && !(afterCr && c == 0 && !binary))
                data.append(char(c));
            if (!inSub)
                afterCr = c == '\r' && !binary;
            continue;
        }
        if (++i == stream.size())
            break;
        const quint8 command = quint8(stream.at(i));
        if (command == IAC) {
            if (!inSub) {
                data.append(char(IAC));
                afterCr = false;
            }
            continue;
        }
        inSub = command == SB;
        if (command >= WILL && ++i < stream.size()) {
            if (command == WILL && quint8(stream.at(i)) == Binary)
                binary = true;
            if (command == WONT && quint8(stream.at(i)) == Binary)
                binary = false;
        }
    }
    return data;
}

TelnetClient prepared(quint8 flags)
{
    TelnetClient client;
    client.start();
    QByteArray grants;
    if (flags & 1)
        grants += QByteArray("\xFF\xFB\x00\xFF\xFD\x00", 6);
    if (flags & 2)
        grants += QByteArray("\xFF\xFD\x2C", 3);
    client.receive(grants);
    if (flags & 4) {
        client.setLineSettings({115200, QSerialPort::Data8, QSerialPort::NoParity,
                                QSerialPort::OneStop, QSerialPort::NoFlowControl});
        client.setDataTerminalReady(true);
    }
    return client;
}

void roundTrip(const QByteArray &data, bool binary)
{
    TelnetClient client = prepared(binary ? 1 : 0);
    FUZZ_EQUAL(client.binaryToServer(), binary);
    const quint8 modem = data.isEmpty() ? 0 : quint8(data.at(0));
    const QByteArray wire = client.encodeData(data) +
                            ComPortSubnegotiation(ServerOffset + NotifyModemState, modem) +
                            client.encodeData(data);
    const TelnetClient::Received got = client.receive(wire);
    FUZZ_EQUAL(got.data, data + data);
    FUZZ_EQUAL(got.events.size(), 1);
    FUZZ_CHECK(got.events.at(0) == (ComPortEvent{ComPortEvent::ModemState, modem}));
    FUZZ_EQUAL(client.heldBytes(), 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t header = 5;
    if (size < header)
        return 0;
    const quint8 flags = data[0];
    const QByteArray stream(reinterpret_cast<const char *>(data + header), int(size - header));

    TelnetClient whole = prepared(flags);
    const TelnetClient::Received all = whole.receive(stream);
    FUZZ_EQUAL(all.data, referenceData(stream, flags & 1));
    FUZZ_CHECK(all.reply.size() <= 16 * stream.size() + 64);
    FUZZ_CHECK(whole.heldBytes() <= SubnegotiationLimit);

    int cuts[4];
    for (int i = 0; i < 4; ++i)
        cuts[i] = data[1 + i] % (stream.size() + 1);
    std::sort(cuts, cuts + 4);
    TelnetClient cut = prepared(flags);
    TelnetClient::Received pieces;
    int from = 0;
    for (int i = 0; i <= 4; ++i) {
        const int to = i < 4 ? cuts[i] : stream.size();
        const TelnetClient::Received piece = cut.receive(stream.mid(from, to - from));
        FUZZ_CHECK(cut.heldBytes() <= SubnegotiationLimit);
        pieces.data += piece.data;
        pieces.reply += piece.reply;
        pieces.events += piece.events;
        from = to;
    }
    FUZZ_EQUAL(pieces.data, all.data);
    FUZZ_EQUAL(pieces.reply, all.reply);
    FUZZ_CHECK(pieces.events == all.events);
    FUZZ_EQUAL(cut.heldBytes(), whole.heldBytes());

    roundTrip(stream, true);
    roundTrip(stream, false);
    return 0;
}
