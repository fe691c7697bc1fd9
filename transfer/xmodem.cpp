#include "transfer/xmodem.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace Xmodem {

quint16 Crc16(const char *data, int size)
{
    quint16 crc = 0;
    for (int i = 0; i < size; ++i) {
        crc ^= quint16(quint8(data[i])) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

quint8 Checksum(const char *data, int size)
{
    quint8 sum = 0;
    for (int i = 0; i < size; ++i)
        sum = quint8(sum + quint8(data[i]));
    return sum;
}

} // namespace Xmodem

using namespace Xmodem;

namespace {

const QByteArray cancelBytes(3, Can);

} // namespace

XmodemFile XmodemFile::fromBytes(const QString &name, const QByteArray &bytes, qint64 modified)
{
    XmodemFile file;
    file.name = name;
    file.size = bytes.size();
    file.modified = modified;
    file.read = [bytes](qint64 offset, qint64 length) {
        if (offset < 0 || offset > bytes.size())
            return QByteArray();
        return bytes.mid(int(offset), int(qMin<qint64>(length, bytes.size() - offset)));
    };
    return file;
}

XmodemFile XmodemFile::open(const QString &path)
{
    XmodemFile file;
    const QFileInfo info(path);
    // A device or a pipe has no size to announce and may never end.
    if (!info.isFile())
        return file;
    auto handle = std::make_shared<QFile>(path);
    if (!handle->open(QIODevice::ReadOnly))
        return file;
    file.name = info.fileName();
    file.size = handle->size();
    file.modified = info.lastModified().toSecsSinceEpoch();
    file.read = [handle](qint64 offset, qint64 length) {
        if (!handle->seek(offset))
            return QByteArray();
        return handle->read(length);
    };
    return file;
}

XmodemSender::XmodemSender(SendProtocol protocol, XmodemFile file, XmodemTimeouts timeouts)
    : protocol_(protocol), file_(std::move(file)), timeouts_(timeouts)
{
    if (protocol_ == SendProtocol::Raw)
        protocol_ = SendProtocol::Xmodem;
    file_.size = qMax<qint64>(0, file_.size);
    timeouts_.retries = qMax(0, timeouts_.retries);
}

int XmodemSender::percent() const
{
    if (file_.size == 0)
        return state_ == State::Done ? 100 : 0;
    return int(acknowledged_ * 100 / file_.size);
}

qint64 XmodemSender::clock(qint64 nowMs)
{
    now_ = qMax(now_, nowMs);
    return now_;
}

QByteArray XmodemSender::start(qint64 nowMs)
{
    if (state_ != State::Idle)
        return {};
    now_ = nowMs;
    if (!file_.isValid()) {
        finish(Failure::FileUnreadable);
        return {};
    }
    state_ = State::Running;
    phase_ = Phase::Start;
    deadline_ = now_ + timeouts_.startMs;
    return {};
}

QByteArray XmodemSender::frame(int number, const QByteArray &data, int blockSize, char pad) const
{
    QByteArray block;
    block.reserve(blockSize + 5);
    block.append(blockSize == 1024 ? Stx : Soh);
    block.append(char(number & 0xFF));
    block.append(char(~number & 0xFF));
    block.append(data);
    block.append(blockSize - data.size(), pad);
    const char *payload = block.constData() + 3;
    if (check_ == Check::Crc16) {
        const quint16 crc = Crc16(payload, blockSize);
        block.append(char(crc >> 8));
        block.append(char(crc & 0xFF));
    } else {
        block.append(char(Checksum(payload, blockSize)));
    }
    return block;
}

QByteArray XmodemSender::header() const
{
    QByteArray fields(1, '\0');
    fields += QByteArray::number(file_.size);
    if (file_.modified > 0)
        fields += ' ' + QByteArray::number(file_.modified, 8);
    QString name = QFileInfo(file_.name).fileName();
    // An empty name would end the batch instead of announcing a file.
    if (name.isEmpty())
        name = QStringLiteral("file");
    QByteArray encoded = QFile::encodeName(name);
    // At least one NUL must follow the fields; a name too long for 1024 bytes loses its end,
    // whole characters at a time.
    while (encoded.size() + fields.size() >= 1024) {
        name.chop(1);
        encoded = QFile::encodeName(name);
    }
    const QByteArray content = encoded + fields;
    return frame(0, content, content.size() < 128 ? 128 : 1024, '\0');
}

QByteArray XmodemSender::sendCurrent(Phase phase, qint64 now)
{
    phase_ = phase;
    retries_ = 0;
    deadline_ = now + timeouts_.blockMs;
    return current_;
}

QByteArray XmodemSender::sendNext(qint64 now)
{
    const qint64 left = file_.size - offset_;
    if (left <= 0) {
        current_ = QByteArray(1, Eot);
        currentData_ = 0;
        return sendCurrent(Phase::EotAck, now);
    }
    // A last part that fits 128 bytes goes in a short block rather than padded to 1024.
    const bool large = protocol_ != SendProtocol::Xmodem && left > 128;
    const int blockSize = large ? 1024 : 128;
    const int length = int(qMin<qint64>(left, blockSize));
    const QByteArray data = file_.read(offset_, length);
    if (data.size() != length)
        return finish(Failure::FileUnreadable);
    current_ = frame(number_, data, blockSize, Pad);
    currentData_ = length;
    return sendCurrent(Phase::BlockAck, now);
}

QByteArray XmodemSender::retry(qint64 now)
{
    if (retries_ >= timeouts_.retries)
        return finish(Failure::TooManyRetries);
    ++retries_;
    ++resent_;
    deadline_ = now + timeouts_.blockMs;
    return current_;
}

QByteArray XmodemSender::finish(Failure failure)
{
    const bool wasRunning = isRunning();
    phase_ = Phase::Finished;
    failure_ = failure;
    state_ = failure == Failure::None ? State::Done : State::Failed;
    current_.clear();
    // The receiver has already gone, or the line has.
    if (!wasRunning || failure == Failure::None || failure == Failure::ReceiverCancelled ||
        failure == Failure::PortClosed)
        return {};
    return cancelBytes;
}

QByteArray XmodemSender::received(const QByteArray &bytes, qint64 nowMs)
{
    const qint64 now = clock(nowMs);
    QByteArray out;
    // Everything in one chunk arrived before this answer went out, so once it has an answer the
    // rest of the chunk cannot be about the new block: only a cancel still counts.
    bool answered = false;
    for (const char c : bytes) {
        if (!isRunning())
            break;
        if (c == Can) {
            // Nothing more for a receiver that has gone, not even an answer to this chunk.
            if (++cans_ >= 2) {
                finish(Failure::ReceiverCancelled);
                return {};
            }
            continue;
        }
        cans_ = 0;
        if (answered)
            continue;
        const bool request = c == Crc || c == Nak;
        switch (phase_) {
        case Phase::Start:
            if (!request)
                continue;
            check_ = c == Crc ? Check::Crc16 : Check::Checksum;
            if (protocol_ == SendProtocol::Ymodem) {
                current_ = header();
                out += sendCurrent(Phase::HeaderAck, now);
            } else {
                out += sendNext(now);
            }
            answered = true;
            break;
        case Phase::DataStart:
            if (!request)
                continue;
            out += sendNext(now);
            answered = true;
            break;
        case Phase::BatchEnd:
            if (!request)
                continue;
            current_ = frame(0, QByteArray(), 128, '\0');
            out += sendCurrent(Phase::EndAck, now);
            answered = true;
            break;
        case Phase::HeaderAck:
        case Phase::BlockAck:
        case Phase::EotAck:
        case Phase::EndAck:
            if (c == Nak) {
                out += retry(now);
                answered = true;
            } else if (c == Ack) {
                if (phase_ == Phase::HeaderAck) {
                    phase_ = Phase::DataStart;
                    deadline_ = now + timeouts_.startMs;
                } else if (phase_ == Phase::BlockAck) {
                    offset_ += currentData_;
                    acknowledged_ = offset_;
                    number_ = (number_ + 1) & 0xFF;
                    out += sendNext(now);
                    answered = true;
                } else if (phase_ == Phase::EotAck && protocol_ == SendProtocol::Ymodem) {
                    phase_ = Phase::BatchEnd;
                    deadline_ = now + timeouts_.startMs;
                } else {
                    out += finish(Failure::None);
                }
            }
            // Anything else, a "C" among it, is line noise or a request that crossed the block.
            break;
        case Phase::Finished:
            break;
        }
    }
    return out + tick(now);
}

QByteArray XmodemSender::tick(qint64 nowMs)
{
    const qint64 now = clock(nowMs);
    if (!isRunning() || now < deadline_)
        return {};
    switch (phase_) {
    case Phase::Start:
    case Phase::DataStart:
    case Phase::BatchEnd:
        return finish(Failure::NoAnswer);
    case Phase::HeaderAck:
    case Phase::BlockAck:
    case Phase::EotAck:
    case Phase::EndAck:
        return retry(now);
    case Phase::Finished:
        break;
    }
    return {};
}

QByteArray XmodemSender::cancel()
{
    if (state_ == State::Idle) {
        state_ = State::Failed;
        failure_ = Failure::Cancelled;
        return {};
    }
    if (!isRunning())
        return {};
    return finish(Failure::Cancelled);
}

void XmodemSender::portClosed()
{
    if (!isFinished())
        finish(Failure::PortClosed);
}
