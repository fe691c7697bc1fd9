#pragma once

#include "transfer/sendprotocol.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The sending side of XMODEM (128-byte blocks), XMODEM-1K and YMODEM (1024-byte blocks, one file
// per batch) as a state machine without a port or a widget: what the receiver sends and the time
// go in, the bytes to write and a state come out. The receiver drives the transfer; the sender
// only answers it, except when a wait runs out, so the caller feeds every received chunk to
// received() and calls tick() at deadline() (or at any time: early ticks do nothing).
//
// Times are milliseconds on any monotonic clock; a time earlier than one seen before counts as
// that one.

namespace Xmodem {

constexpr char Soh = 0x01;
constexpr char Stx = 0x02;
constexpr char Eot = 0x04;
constexpr char Ack = 0x06;
constexpr char Nak = 0x15;
constexpr char Can = 0x18;
constexpr char Crc = 'C';
constexpr char Pad = 0x1A;

// CRC-16 of the blocks: polynomial 0x1021, initial value 0, no reflection (CRC-16/XMODEM).
quint16 Crc16(const char *data, int size);
// The 8-bit sum of the bytes, the check of a receiver that starts with NAK.
quint8 Checksum(const char *data, int size);

} // namespace Xmodem

// How long the sender waits before it gives up or sends again.
struct XmodemTimeouts
{
    // For the receiver's request of the next file's first block ("C" or NAK): at the start, and
    // in YMODEM after block 0 and after the file.
    qint64 startMs = 60000;
    // For the answer to a block or an EOT, after which it goes again.
    qint64 blockMs = 10000;
    // How often one block or EOT goes again, after a NAK or a wait that ran out, before the
    // transfer stops.
    int retries = 10;
};

// The file as the sender reads it, one block at a time, so that a file that shrinks or fails
// during the transfer ends it instead of sending other bytes than the ones announced.
struct XmodemFile
{
    // Only the part after the last "/" is sent (YMODEM's block 0).
    QString name;
    qint64 size = 0;
    // Seconds since 1970 (UTC); 0 or less leaves it out of YMODEM's block 0.
    qint64 modified = 0;
    // `length` bytes from `offset`; anything shorter means the file could not be read there.
    std::function<QByteArray(qint64 offset, qint64 length)> read;

    bool isValid() const { return bool(read); }

    static XmodemFile fromBytes(const QString &name, const QByteArray &bytes, qint64 modified = 0);
    // A regular file, opened now and read from while the transfer runs, with its size and
    // modification time. Not valid (no `read`) when the path names no readable regular file: a
    // missing or locked file, a folder, a device such as /dev/zero.
    static XmodemFile open(const QString &path);
};

class XmodemSender
{
public:
    enum class State { Idle, Running, Done, Failed };
    enum class Failure {
        None,
        // cancel(): the caller's own.
        Cancelled,
        // Two CANs in a row from the receiver.
        ReceiverCancelled,
        // No request from the receiver within startMs.
        NoAnswer,
        // A block or EOT rejected or unanswered once more after `retries` resends.
        TooManyRetries,
        // The file gave fewer bytes than its size, or was not valid at the start.
        FileUnreadable,
        // portClosed(): the line went away.
        PortClosed,
    };
    // The check the receiver asked for with its first request; None before it.
    enum class Check { None, Checksum, Crc16 };

    // Raw is not a protocol of its own here and sends as XMODEM.
    XmodemSender(SendProtocol protocol, XmodemFile file, XmodemTimeouts timeouts = {});

    // Starts waiting for the receiver. Writes nothing yet: the receiver's request starts the
    // blocks. A file that is not valid fails at once.
    QByteArray start(qint64 nowMs);
    // What to write in answer to bytes from the receiver, at once; also does what tick() does.
    QByteArray received(const QByteArray &bytes, qint64 nowMs);
    // What to write when a wait has run out: the block again, or CAN CAN CAN when giving up.
    QByteArray tick(qint64 nowMs);
    // Ends a running transfer: CAN CAN CAN for the receiver. Nothing once finished.
    QByteArray cancel();
    // Ends a running transfer whose port has gone, without anything to write.
    void portClosed();

    State state() const { return state_; }
    bool isRunning() const { return state_ == State::Running; }
    bool isFinished() const { return state_ == State::Done || state_ == State::Failed; }
    Failure failure() const { return failure_; }
    Check check() const { return check_; }
    SendProtocol protocol() const { return protocol_; }
    qint64 fileSize() const { return file_.size; }
    // Bytes of the file the receiver has acknowledged, and their share of the file in percent
    // (100 for an empty file once done).
    qint64 acknowledgedBytes() const { return acknowledged_; }
    int percent() const;
    // Blocks (and EOTs) sent again so far.
    int resent() const { return resent_; }
    // When tick() has something to do, on the caller's clock; -1 unless running.
    qint64 deadline() const { return isRunning() ? deadline_ : -1; }

private:
    enum class Phase {
        Start,     // waiting for the first request
        HeaderAck, // YMODEM block 0 sent
        DataStart, // YMODEM block 0 acknowledged, waiting for the request of block 1
        BlockAck,  // a data block sent
        EotAck,    // EOT sent
        BatchEnd,  // YMODEM file acknowledged, waiting for the request of the next block 0
        EndAck,    // YMODEM's empty block 0 sent
        Finished,
    };

    QByteArray frame(int number, const QByteArray &data, int blockSize, char pad) const;
    QByteArray header() const;
    // The next data block, or EOT after the last; CAN CAN CAN when the file fails.
    QByteArray sendNext(qint64 now);
    QByteArray sendCurrent(Phase phase, qint64 now);
    // A NAK or a wait run out: the current block again, or the end.
    QByteArray retry(qint64 now);
    QByteArray finish(Failure failure);
    qint64 clock(qint64 nowMs);

    SendProtocol protocol_;
    XmodemFile file_;
    XmodemTimeouts timeouts_;

    State state_ = State::Idle;
    Failure failure_ = Failure::None;
    Check check_ = Check::None;
    Phase phase_ = Phase::Start;

    QByteArray current_;  // what went last, for sending again
    int currentData_ = 0; // the file's bytes in it
    int number_ = 1;      // of the next or current data block, modulo 256
    qint64 offset_ = 0;   // of the current data block in the file
    qint64 acknowledged_ = 0;
    int retries_ = 0;
    int resent_ = 0;
    int cans_ = 0;
    qint64 deadline_ = 0;
    qint64 now_ = 0;
};
