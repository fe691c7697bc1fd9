// libFuzzer target: the XMODEM / XMODEM-1K / YMODEM sender against any receiver.
//
// Input: a header of four bytes, then operations.
//   byte 0: bits 0-1 the protocol (XMODEM, XMODEM-1K, YMODEM, XMODEM), bit 2 an echoing line (all
//           the sender writes comes back to it), bit 3 a file that gives no more bytes from
//           byte 3's offset on, bits 4-7 the retries;
//   bytes 1-2: the file's size, below 5000; byte 3: where it shrinks, in units of 20 bytes.
//   Each operation starts with a byte: 00nnnnnn the next n+1 bytes arrive as one chunk;
//   01nnnnnn the clock goes on by n * 7 ms, then a tick; 10tttnnn token t arrives n+1 times in
//   one chunk (C, NAK, ACK, CAN, ACK C, EOT, SOH, 0xFF); 11000000 cancel(), 11000001
//   portClosed(), 11nnnnnn otherwise token n & 7 stamped n ms in the past.
// Checks:
// - everything written is one block whose frame and check are right, EOT, or CAN CAN CAN;
// - a data block holds the file's bytes from the acknowledged count on, padded with 0x1A, in
//   blocks of the protocol's size but for a last part that fits 128 bytes;
// - CAN CAN CAN comes only with a failure the receiver must hear of, and ends the transfer;
// - the acknowledged count never falls, stays within the file, and is all of it when done;
// - a finished sender writes nothing more;
// - with no more input, ticking through its deadlines ends every transfer, within the longest
//   wait of the timeouts.

#include "check.h"
#include "transfer/xmodem.h"

#include <cstddef>
#include <cstdint>

namespace {

// An independent CRC-16/XMODEM, through a table built here.
quint16 referenceCrc(const QByteArray &data)
{
    static quint16 table[256];
    static bool built = false;
    if (!built) {
        for (int i = 0; i < 256; ++i) {
            quint16 crc = quint16(i << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = quint16((crc << 1) ^ ((crc & 0x8000) ? 0x1021 : 0));
            table[i] = crc;
        }
        built = true;
    }
    quint16 crc = 0;
    for (const char c : data)
        crc = quint16((crc << 8) ^ table[((crc >> 8) ^ quint8(c)) & 0xFF]);
    return crc;
}

struct Harness
{
    XmodemSender *sender = nullptr;
    QByteArray file;
    qint64 now = 0;
    qint64 lastAcknowledged = 0;
    bool echo = false;
    QByteArray echoed;

    // Checks one write of the sender.
    void check(const QByteArray &out)
    {
        const qint64 acknowledged = sender->acknowledgedBytes();
        FUZZ_CHECK(acknowledged >= lastAcknowledged);
        FUZZ_CHECK(acknowledged <= file.size());
        FUZZ_CHECK(acknowledged % (sender->protocol() == SendProtocol::Xmodem ? 128 : 1024) == 0 ||
                   acknowledged == file.size());
        FUZZ_CHECK(sender->percent() >= 0 && sender->percent() <= 100);
        lastAcknowledged = acknowledged;
        if (sender->state() == XmodemSender::State::Done)
            FUZZ_EQUAL(acknowledged, qint64(file.size()));
        if (sender->isRunning())
            FUZZ_CHECK(sender->deadline() > now);
        else
            FUZZ_EQUAL(sender->deadline(), qint64(-1));
        if (out.isEmpty())
            return;
        if (echo)
            echoed += out;
        if (out == QByteArray(3, Xmodem::Can)) {
            FUZZ_CHECK(sender->state() == XmodemSender::State::Failed);
            const auto failure = sender->failure();
            FUZZ_CHECK(failure != XmodemSender::Failure::ReceiverCancelled &&
                       failure != XmodemSender::Failure::PortClosed);
            return;
        }
        FUZZ_CHECK(sender->isRunning());
        if (out == QByteArray(1, Xmodem::Eot)) {
            FUZZ_EQUAL(acknowledged, qint64(file.size()));
            return;
        }
        const bool crc = sender->check() == XmodemSender::Check::Crc16;
        FUZZ_CHECK(sender->check() != XmodemSender::Check::None);
        const int size = out.startsWith(Xmodem::Stx) ? 1024 : 128;
        FUZZ_CHECK(out.startsWith(Xmodem::Stx) || out.startsWith(Xmodem::Soh));
        FUZZ_EQUAL(out.size(), 3 + size + (crc ? 2 : 1));
        FUZZ_EQUAL(quint8(out[1]), quint8(~out[2]));
        const QByteArray payload = out.mid(3, size);
        if (crc) {
            FUZZ_EQUAL(int(quint8(out[3 + size]) << 8 | quint8(out[4 + size])),
                       int(referenceCrc(payload)));
        } else {
            quint8 sum = 0;
            for (const char c : payload)
                sum = quint8(sum + quint8(c));
            FUZZ_EQUAL(quint8(out[3 + size]), sum);
        }
        // Every block but the last is of the protocol's size, so the count gives the number.
        const int unit = sender->protocol() == SendProtocol::Xmodem ? 128 : 1024;
        const int number = quint8(out[1]);
        // The file is too short to reach data block 256, so in YMODEM 0 is block 0.
        if (sender->protocol() == SendProtocol::Ymodem && number == 0) {
            if (acknowledged == file.size() && payload.startsWith('\0')) {
                FUZZ_EQUAL(payload, QByteArray(128, '\0'));
            } else {
                FUZZ_EQUAL(acknowledged, qint64(0));
                const QByteArray fields =
                    QByteArray("f\0", 2) + QByteArray::number(file.size()) + " 4553207";
                FUZZ_EQUAL(payload.left(fields.size() + 1), fields + '\0');
            }
            return;
        }
        FUZZ_EQUAL(number, int((acknowledged / unit + 1) & 0xFF));
        const int length = int(qMin<qint64>(file.size() - acknowledged, size));
        FUZZ_CHECK(length > 0);
        // 128-byte blocks in XMODEM-1K and YMODEM only for a last part that fits them.
        FUZZ_CHECK(size == 1024 ? sender->protocol() != SendProtocol::Xmodem
                                : unit == 128 || file.size() - acknowledged <= 128);
        FUZZ_EQUAL(payload.left(length), file.mid(int(acknowledged), length));
        FUZZ_EQUAL(payload.mid(length), QByteArray(size - length, Xmodem::Pad));
    }

    void receive(const QByteArray &bytes, qint64 at)
    {
        const bool wasFinished = sender->isFinished();
        const QByteArray out = sender->received(bytes, at);
        if (wasFinished)
            FUZZ_EQUAL(out, QByteArray());
        check(out);
        // A line that echoes: what went out comes back, for a bounded number of rounds.
        for (int round = 0; round < 64 && !echoed.isEmpty(); ++round) {
            const QByteArray back = echoed;
            echoed.clear();
            check(sender->received(back, now));
        }
        echoed.clear();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    static const SendProtocol protocols[] = {SendProtocol::Xmodem, SendProtocol::Xmodem1k,
                                             SendProtocol::Ymodem, SendProtocol::Xmodem};
    const SendProtocol protocol = protocols[data[0] & 3];
    const int fileSize = (data[1] | data[2] << 8) % 5000;
    QByteArray bytes(fileSize, '\0');
    for (int i = 0; i < fileSize; ++i)
        bytes[i] = char(i * 31 + i / 256);
    XmodemFile file = XmodemFile::fromBytes(QStringLiteral("f"), bytes, 1234567);
    if (data[0] & 8) {
        const qint64 shrinksAt = qint64(data[3]) * 20;
        const auto whole = file.read;
        file.read = [whole, shrinksAt](qint64 offset, qint64 length) {
            return whole(offset, qMin(length, qMax<qint64>(0, shrinksAt - offset)));
        };
    }
    XmodemTimeouts timeouts;
    timeouts.startMs = 600;
    timeouts.blockMs = 100;
    timeouts.retries = data[0] >> 4;
    XmodemSender sender(protocol, file, timeouts);

    Harness h;
    h.sender = &sender;
    h.file = bytes;
    h.echo = data[0] & 4;
    h.check(sender.start(0));

    static const QByteArray tokens[] = {QByteArray(1, Xmodem::Crc),
                                        QByteArray(1, Xmodem::Nak),
                                        QByteArray(1, Xmodem::Ack),
                                        QByteArray(1, Xmodem::Can),
                                        QByteArray(1, Xmodem::Ack) + Xmodem::Crc,
                                        QByteArray(1, Xmodem::Eot),
                                        QByteArray(1, Xmodem::Soh),
                                        QByteArray(1, '\xFF')};
    size_t p = 4;
    while (p < size) {
        const uint8_t op = data[p++];
        const int n = op & 0x3F;
        switch (op >> 6) {
        case 0: {
            const size_t length = qMin<size_t>(size - p, size_t(n) + 1);
            h.receive(QByteArray(reinterpret_cast<const char *>(data + p), int(length)), h.now);
            p += length;
            break;
        }
        case 1: {
            h.now += n * 7;
            const bool wasFinished = sender.isFinished();
            const QByteArray out = sender.tick(h.now);
            if (wasFinished)
                FUZZ_EQUAL(out, QByteArray());
            h.check(out);
            break;
        }
        case 2:
            h.receive(tokens[(op >> 3) & 7].repeated((op & 7) + 1), h.now);
            break;
        default:
            if (n == 0) {
                const bool wasRunning = sender.isRunning();
                const QByteArray out = sender.cancel();
                FUZZ_EQUAL(out, wasRunning ? QByteArray(3, Xmodem::Can) : QByteArray());
                FUZZ_CHECK(sender.isFinished());
                h.check(out);
            } else if (n == 1) {
                sender.portClosed();
                FUZZ_CHECK(sender.isFinished());
                h.check(QByteArray());
            } else {
                // A clock that seems to go back counts as standing still.
                h.receive(tokens[n & 7], h.now - n);
            }
            break;
        }
    }

    // No more input: the deadlines alone must end it, within the longest wait.
    const qint64 lastInput = h.now;
    const qint64 longest =
        qMax(timeouts.startMs, timeouts.blockMs * (qint64(timeouts.retries) + 1));
    for (int step = 0; step < 64 && sender.isRunning(); ++step) {
        h.now = qMax(h.now, sender.deadline());
        h.check(sender.tick(h.now));
    }
    FUZZ_CHECK(sender.isFinished());
    FUZZ_CHECK(h.now - lastInput <= longest);
    return 0;
}
