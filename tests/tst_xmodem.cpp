#include "transfer/xmodem.h"

#include <QtTest>

using namespace Xmodem;

Q_DECLARE_METATYPE(SendProtocol)
Q_DECLARE_METATYPE(XmodemSender::Failure)

namespace {

// 0xFF, 0x1A (the padding) and the control bytes among the data, in an order that shows a block
// out of place.
QByteArray content(int size)
{
    static const char special[] = {char(0xFF), Pad, Can, Can, Ack, Nak, Eot, Soh, Stx, Crc};
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = i % 16 < 10 ? special[i % 16] : char(i / 16);
    return bytes;
}

struct Block
{
    char start = 0;
    int number = -1;
    QByteArray payload;
};

// A block as a receiver checks it; number -1 when the frame or its check is wrong.
Block parse(const QByteArray &frame, bool crc)
{
    Block block;
    const int size = frame.startsWith(Stx) ? 1024 : 128;
    if ((!frame.startsWith(Soh) && !frame.startsWith(Stx)) ||
        frame.size() != 3 + size + (crc ? 2 : 1) || quint8(frame[1]) != quint8(~frame[2]))
        return block;
    block.payload = frame.mid(3, size);
    const quint16 expected =
        crc ? Crc16(block.payload.constData(), size) : Checksum(block.payload.constData(), size);
    const quint16 got = crc ? quint16(quint8(frame[3 + size]) << 8 | quint8(frame[4 + size]))
                            : quint8(frame[3 + size]);
    if (got == expected) {
        block.start = frame[0];
        block.number = quint8(frame[1]);
    }
    return block;
}

// "-" for nothing, "X" for CAN CAN CAN, "E" for EOT, "H" for YMODEM's block 0 with a file,
// "Z" for its empty block 0, "B<n>" for data block n; the bytes in hex for anything else.
QString describe(const QByteArray &out, bool crc)
{
    if (out.isEmpty())
        return QStringLiteral("-");
    if (out == QByteArray(3, Can))
        return QStringLiteral("X");
    if (out == QByteArray(1, Eot))
        return QStringLiteral("E");
    const Block block = parse(out, crc);
    if (block.number == 0)
        return block.payload.startsWith('\0') ? QStringLiteral("Z") : QStringLiteral("H");
    if (block.number > 0)
        return QStringLiteral("B%1").arg(block.number);
    return QString::fromLatin1(out.toHex(' '));
}

// Runs a transfer against a receiver that asks with `request` and accepts everything; returns
// what the sender wrote, one entry per answer.
QList<QByteArray> converse(XmodemSender &sender, char request)
{
    QList<QByteArray> writes;
    QByteArray out = sender.start(0);
    out += sender.received(QByteArray(1, request), 0);
    while (sender.isRunning() && writes.size() < 100000) {
        writes.append(out);
        QByteArray reply(1, Ack);
        // YMODEM asks again after block 0 and after the file.
        if (out == QByteArray(1, Eot) || (out.size() > 2 && out[1] == '\0'))
            reply.append(request);
        out = sender.received(reply, 0);
    }
    return writes;
}

} // namespace

class XmodemTest : public QObject
{
    Q_OBJECT

private slots:
    void checks_data();
    void checks();
    void protocolTexts();
    void framing_data();
    void framing();
    void ymodemHeader_data();
    void ymodemHeader();
    void conversation_data();
    void conversation();
    void fileFromDisk();
};

void XmodemTest::checks_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("crc");
    QTest::addColumn<int>("sum");
    QTest::newRow("check string") << QByteArray("123456789") << 0x31C3 << 0xDD;
    QTest::newRow("0xFF") << QByteArray(1, char(0xFF)) << 0x1EF0 << 0xFF;
    QTest::newRow("block of padding") << QByteArray(128, Pad) << 0xF8B0 << 0x00;
}

void XmodemTest::checks()
{
    QFETCH(QByteArray, data);
    QFETCH(int, crc);
    QFETCH(int, sum);
    QCOMPARE(int(Crc16(data.constData(), data.size())), crc);
    QCOMPARE(int(Checksum(data.constData(), data.size())), sum);
}

void XmodemTest::protocolTexts()
{
    QCOMPARE(SendProtocolTexts(), QStringList({"RAW", "XMODEM", "XMODEM-1K", "YMODEM"}));
    for (const QString &text : SendProtocolTexts())
        QCOMPARE(SendProtocolText(ParseSendProtocol(text)), text);
    for (const char *other : {"", "xmodem", "ZMODEM", " YMODEM", "1"})
        QCOMPARE(ParseSendProtocol(QString::fromLatin1(other)), SendProtocol::Raw);
}

void XmodemTest::framing_data()
{
    QTest::addColumn<SendProtocol>("protocol");
    QTest::addColumn<char>("request");
    QTest::addColumn<int>("size");
    // The data blocks' sizes: 1 for 128 bytes, 8 for 1024.
    QTest::addColumn<QString>("blocks");

    const SendProtocol x = SendProtocol::Xmodem;
    const SendProtocol k = SendProtocol::Xmodem1k;
    const SendProtocol y = SendProtocol::Ymodem;
    QTest::newRow("XMODEM empty") << x << Nak << 0 << "";
    QTest::newRow("XMODEM 1 byte, checksum") << x << Nak << 1 << "1";
    QTest::newRow("XMODEM 129 bytes, CRC") << x << Crc << 129 << "11";
    QTest::newRow("XMODEM-1K 128 bytes") << k << Crc << 128 << "1";
    QTest::newRow("XMODEM-1K 129 bytes") << k << Crc << 129 << "8";
    QTest::newRow("XMODEM-1K 1024 bytes, checksum") << k << Nak << 1024 << "8";
    QTest::newRow("XMODEM-1K 2049 bytes") << k << Crc << 2049 << "881";
    QTest::newRow("YMODEM empty") << y << Crc << 0 << "";
    QTest::newRow("YMODEM 1025 bytes") << y << Crc << 1025 << "81";
    QTest::newRow("YMODEM 129 bytes, checksum") << y << Nak << 129 << "8";
    // Block numbers go from 255 to 0 and on.
    QTest::newRow("XMODEM 300 blocks") << x << Crc << 300 * 128 - 5 << QString(300, '1');
}

void XmodemTest::framing()
{
    QFETCH(SendProtocol, protocol);
    QFETCH(char, request);
    QFETCH(int, size);
    QFETCH(QString, blocks);

    const QByteArray bytes = content(size);
    XmodemSender sender(protocol, XmodemFile::fromBytes(QStringLiteral("a.bin"), bytes));
    const QList<QByteArray> writes = converse(sender, request);
    QCOMPARE(sender.state(), XmodemSender::State::Done);
    QCOMPARE(sender.acknowledgedBytes(), qint64(size));
    QCOMPARE(sender.percent(), 100);
    QCOMPARE(sender.check(),
             request == Crc ? XmodemSender::Check::Crc16 : XmodemSender::Check::Checksum);

    const bool ymodem = protocol == SendProtocol::Ymodem;
    // [block 0], the data blocks, EOT, [empty block 0].
    QCOMPARE(writes.size(), blocks.size() + 1 + (ymodem ? 2 : 0));
    QList<QByteArray> data = writes.mid(ymodem ? 1 : 0, blocks.size());
    QByteArray joined;
    for (int i = 0; i < data.size(); ++i) {
        const Block block = parse(data[i], request == Crc);
        QCOMPARE(block.number, (i + 1) % 256);
        QCOMPARE(block.start, blocks[i] == '8' ? Stx : Soh);
        joined += block.payload;
    }
    QVERIFY(joined.left(size) == bytes);
    QCOMPARE(joined.mid(size), QByteArray(joined.size() - size, Pad));
    QCOMPARE(writes[ymodem ? blocks.size() + 1 : blocks.size()], QByteArray(1, Eot));
    if (ymodem) {
        QCOMPARE(describe(writes.first(), request == Crc), QStringLiteral("H"));
        QCOMPARE(writes.last(), Soh + QByteArray("\x00\xFF", 2) + QByteArray(128, '\0') +
                                    (request == Crc ? QByteArray(2, '\0') : QByteArray(1, '\0')));
    }
}

void XmodemTest::ymodemHeader_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("modified");
    // The start of block 0, with "|" for NUL.
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<char>("start");

    const QByteArray n125(125, 'n');
    QTest::newRow("name, size, time in octal")
        << "u-boot.bin" << qint64(262144) << qint64(1715934615)
        << QByteArray("u-boot.bin|262144 14621612627") << Soh;
    QTest::newRow("no time") << "a" << qint64(0) << qint64(0) << QByteArray("a|0") << Soh;
    QTest::newRow("only the base name") << "/home/me/fw/kernel.img" << qint64(5) << qint64(8)
                                        << QByteArray("kernel.img|5 10") << Soh;
    QTest::newRow("UTF-8 name") << QString::fromUtf8("固件.bin") << qint64(1) << qint64(0)
                                << QByteArray("\xE5\x9B\xBA\xE4\xBB\xB6.bin|1") << Soh;
    // One NUL must be left after the fields.
    QTest::newRow("just fits 128") << QString(n125) << qint64(7) << qint64(0) << n125 + "|7" << Soh;
    QTest::newRow("long name in 1024")
        << QString(n125 + 'n') << qint64(7) << qint64(0) << n125 + "n|7" << Stx;
    QTest::newRow("too long for 1024")
        << QString(1500, 'n') << qint64(70) << qint64(0) << QByteArray(1020, 'n') + "|70" << Stx;
    QTest::newRow("empty name") << "" << qint64(3) << qint64(0) << QByteArray("file|3") << Soh;
}

void XmodemTest::ymodemHeader()
{
    QFETCH(QString, name);
    QFETCH(qint64, size);
    QFETCH(qint64, modified);
    QFETCH(QByteArray, fields);
    QFETCH(char, start);
    fields.replace('|', '\0');

    XmodemFile file = XmodemFile::fromBytes(name, QByteArray(), modified);
    file.size = size;
    XmodemSender sender(SendProtocol::Ymodem, file);
    sender.start(0);
    const Block block = parse(sender.received("C", 0), true);
    QCOMPARE(block.number, 0);
    QCOMPARE(block.start, start);
    QCOMPARE(block.payload.left(fields.size()), fields);
    QCOMPARE(block.payload.mid(fields.size()),
             QByteArray(block.payload.size() - fields.size(), '\0'));
}

void XmodemTest::conversation_data()
{
    // Steps separated by spaces, each "time:input>output". Input: C, N (NAK), A (ACK), X (CAN),
    // g (a garbage byte) in one chunk, "." for a tick, "!" for cancel(), "#" for portClosed().
    // Output as describe() gives it.
    QTest::addColumn<SendProtocol>("protocol");
    QTest::addColumn<int>("size");
    // The file gives no more bytes from here on; -1: never.
    QTest::addColumn<int>("shrinksAt");
    QTest::addColumn<QString>("script");
    QTest::addColumn<XmodemSender::Failure>("failure");
    QTest::addColumn<int>("acknowledged");

    using F = XmodemSender::Failure;
    const SendProtocol x = SendProtocol::Xmodem;
    const SendProtocol y = SendProtocol::Ymodem;
    QTest::newRow("EOT NAKed, then ACKed")
        << x << 200 << -1 << "0:C>B1 1:A>B2 2:A>E 3:N>E 4:A>-" << F::None << 200;
    QString tenNaks = "0:C>B1";
    for (int i = 1; i <= 10; ++i)
        tenNaks += QStringLiteral(" %1:N>B1").arg(i);
    QTest::newRow("gives up on the 11th NAK")
        << x << 200 << -1 << tenNaks + " 11:N>X" << F::TooManyRetries << 0;
    QString silent = "0:C>B1 1:A>B2 10000:.>- 10001:.>B2";
    for (int i = 2; i <= 10; ++i)
        silent += QStringLiteral(" %1:.>B2").arg(i * 10000 + 1);
    QTest::newRow("unanswered block: 10 s, 10 times")
        << x << 200 << -1 << silent + " 110000:.>- 110001:.>X" << F::TooManyRetries << 128;
    QTest::newRow("an answer resets the count")
        << x << 300 << -1 << tenNaks + " 11:A>B2 12:N>B2 13:A>B3 14:A>E 15:A>-" << F::None << 300;
    // Garbage is no request.
    QTest::newRow("never starts") << x << 10 << -1 << "0:gAgA>- 59999:.>- 60000:g>X" << F::NoAnswer
                                  << 0;
    QTest::newRow("CAN CAN ends it")
        << x << 200 << -1 << "0:C>B1 1:XX>- 2:C>-" << F::ReceiverCancelled << 0;
    QTest::newRow("CAN CAN across chunks, before the start")
        << x << 200 << -1 << "0:X>- 1:X>-" << F::ReceiverCancelled << 0;
    QTest::newRow("a lone CAN is noise")
        << x << 100 << -1 << "0:C>B1 1:XgX>- 2:A>E 3:XA>-" << F::None << 100;
    QTest::newRow("C and garbage mid-transfer are ignored")
        << x << 200 << -1 << "0:C>B1 1:Cgg>- 2:A>B2 3:C>- 4:A>E 5:C>- 6:A>-" << F::None << 200;
    // Both arrived before block 2 went out, so the second cannot be its ACK.
    QTest::newRow("ACKed twice in one chunk")
        << x << 300 << -1 << "0:CC>B1 1:AA>B2 2:AN>B3 3:A>E 4:A>-" << F::None << 300;
    QTest::newRow("cancel") << x << 200 << -1 << "0:C>B1 1:!>X 2:A>- 3:.>-" << F::Cancelled << 0;
    QTest::newRow("cancel before the start") << x << 200 << -1 << "0:!>X" << F::Cancelled << 0;
    QTest::newRow("port closed") << x << 200 << -1 << "0:C>B1 1:A>B2 2:#>- 3:A>-" << F::PortClosed
                                 << 128;
    QTest::newRow("file shrinks") << x << 300 << 200 << "0:C>B1 1:A>X 2:A>-" << F::FileUnreadable
                                  << 128;
    QTest::newRow("YMODEM") << y << 100 << -1 << "0:C>H 1:A>- 2:C>B1 3:A>E 4:A>- 5:C>Z 6:A>-"
                            << F::None << 100;
    QTest::newRow("YMODEM ACK and C together")
        << y << 100 << -1 << "0:C>H 1:AC>B1 2:A>E 3:AC>Z 4:A>-" << F::None << 100;
    QTest::newRow("YMODEM block 0 NAKed")
        << y << 100 << -1 << "0:C>H 1:N>H 10001:.>H 10002:AC>B1 10003:A>E 10004:AC>Z 10005:A>-"
        << F::None << 100;
    QTest::newRow("YMODEM no request after block 0")
        << y << 100 << -1 << "0:C>H 1:A>- 60000:.>- 60001:.>X" << F::NoAnswer << 0;
    QTest::newRow("YMODEM no request after the file")
        << y << 100 << -1 << "0:C>H 1:AC>B1 2:A>E 3:A>- 60003:.>X" << F::NoAnswer << 100;
    QTest::newRow("YMODEM end block NAKed")
        << y << 0 << -1 << "0:C>H 1:AC>E 2:AC>Z 3:N>Z 4:A>-" << F::None << 0;
}

void XmodemTest::conversation()
{
    QFETCH(SendProtocol, protocol);
    QFETCH(int, size);
    QFETCH(int, shrinksAt);
    QFETCH(QString, script);
    QFETCH(XmodemSender::Failure, failure);
    QFETCH(int, acknowledged);

    XmodemFile file = XmodemFile::fromBytes(QStringLiteral("f"), content(size));
    if (shrinksAt >= 0) {
        const auto whole = file.read;
        file.read = [whole, shrinksAt](qint64 offset, qint64 length) {
            return whole(offset, qMin(length, qMax<qint64>(0, shrinksAt - offset)));
        };
    }
    XmodemSender sender(protocol, file);
    QCOMPARE(sender.start(0), QByteArray());
    for (const QString &step : script.split(' ')) {
        const int colon = step.indexOf(':');
        const int arrow = step.indexOf('>');
        const qint64 at = step.left(colon).toLongLong();
        const QString input = step.mid(colon + 1, arrow - colon - 1);
        QByteArray out;
        if (input == ".") {
            out = sender.tick(at);
        } else if (input == "!") {
            out = sender.cancel();
        } else if (input == "#") {
            sender.portClosed();
        } else {
            QByteArray bytes = input.toLatin1();
            bytes.replace('N', Nak).replace('A', Ack).replace('X', Can).replace('g', '\x7F');
            out = sender.received(bytes, at);
        }
        QVERIFY2(describe(out, true) == step.mid(arrow + 1),
                 qPrintable(step + " wrote " + describe(out, true)));
    }
    QCOMPARE(sender.failure(), failure);
    QCOMPARE(sender.state(), failure == XmodemSender::Failure::None ? XmodemSender::State::Done
                                                                    : XmodemSender::State::Failed);
    QCOMPARE(sender.acknowledgedBytes(), qint64(acknowledged));
    QCOMPARE(sender.deadline(), qint64(-1));
}

void XmodemTest::fileFromDisk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fw.bin"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content(300));
    out.flush();
    QVERIFY(out.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000),
                            QFileDevice::FileModificationTime));
    out.close();

    XmodemFile file = XmodemFile::open(path);
    QVERIFY(file.isValid());
    QCOMPARE(file.name, QStringLiteral("fw.bin"));
    QCOMPARE(file.size, qint64(300));
    QCOMPARE(file.modified, qint64(1700000000));
    QCOMPARE(file.read(256, 128), content(300).mid(256));
    // Cut short while it is being sent: the rest reads short.
    QVERIFY(out.resize(200));
    QCOMPARE(file.read(128, 128).size(), 72);

    QVERIFY(!XmodemFile::open(dir.path()).isValid());
    QVERIFY(!XmodemFile::open(dir.filePath(QStringLiteral("missing"))).isValid());
    QVERIFY(!XmodemFile::open(QStringLiteral("/dev/zero")).isValid());
    XmodemSender sender(SendProtocol::Xmodem, XmodemFile::open(QStringLiteral("/dev/zero")));
    QCOMPARE(sender.start(0), QByteArray());
    QCOMPARE(sender.failure(), XmodemSender::Failure::FileUnreadable);
}

QTEST_APPLESS_MAIN(XmodemTest)
#include "tst_xmodem.moc"
