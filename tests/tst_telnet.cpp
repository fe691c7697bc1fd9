#include "serial/telnet.h"

#include <QtTest>

#include <initializer_list>

using namespace telnet;

Q_DECLARE_METATYPE(QVector<ComPortEvent>)

namespace {

QByteArray b(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (const int c : bytes)
        out.append(char(c));
    return out;
}

// A client after the server granted binary both ways (and, if asked, the COM-port option).
TelnetClient negotiated(bool binary = true, bool comPort = false)
{
    TelnetClient client;
    client.start();
    QByteArray answers = binary ? b({IAC, WILL, Binary, IAC, DO, Binary})
                                : b({IAC, WONT, Binary, IAC, DONT, Binary});
    if (comPort)
        answers += b({IAC, DO, ComPort});
    client.receive(answers);
    return client;
}

// A COM-port subnegotiation as the client sends it, and as the server reports.
QByteArray sb(int command, std::initializer_list<int> value = {})
{
    return b({IAC, SB, ComPort, command}) + b(value) + b({IAC, SE});
}

QByteArray report(int command, std::initializer_list<int> value = {})
{
    return sb(ServerOffset + command, value);
}

} // namespace

class TelnetTest : public QObject
{
    Q_OBJECT

private slots:
    void escaping_data();
    void escaping();
    void receiving_data();
    void receiving();
    void comPortCommands_data();
    void comPortCommands();
    void settingsWaitForTheComPortOption();
    void heavyInput();
    void newConnectionDropsACutCommand();
};

void TelnetTest::escaping_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("binary: 0xFF runs, CR NUL as they are")
        << true << b({0xFF, 0xFF, 'x', 0xFF, '\r', 0})
        << b({0xFF, 0xFF, 0xFF, 0xFF, 'x', 0xFF, 0xFF, '\r', 0});
    QTest::newRow("NVT: CR, CR LF, 0xFF") << false << b({'A', 'T', '\r', '\n', 0xFF, '\r'})
                                          << b({'A', 'T', '\r', 0, '\n', 0xFF, 0xFF, '\r', 0});
}

// What goes out decodes to what went in, in the mode the server granted.
void TelnetTest::escaping()
{
    QFETCH(bool, binary);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, wire);
    TelnetClient client = negotiated(binary);
    QCOMPARE(client.binaryToServer(), binary);
    QCOMPARE(client.encodeData(data), wire);
    QCOMPARE(client.receive(wire).data, data);
}

void TelnetTest::receiving_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QVector<ComPortEvent>>("events");
    const QVector<ComPortEvent> none;

    QTest::newRow("commands stripped")
        << true << QByteArray("A") + b({IAC, NOP, 'B', IAC, 249, IAC, 242, 'C', IAC, SE})
        << QByteArray("ABC") << QByteArray() << none;
    QTest::newRow("other option's subnegotiation")
        << true << QByteArray("A") + b({IAC, SB, 24, 1, IAC, IAC, IAC, SE}) + "B"
        << QByteArray("AB") << QByteArray() << none;
    QTest::newRow("modem state between data")
        << true << QByteArray("OK") + report(NotifyModemState, {0xB1}) + "\r\n"
        << QByteArray("OK\r\n") << QByteArray()
        << QVector<ComPortEvent>{{ComPortEvent::ModemState, 0xB1}};
    QTest::newRow("acknowledgements")
        << true
        << report(SetBaudRate, {0, 1, 0xC2, 0}) + report(SetParity, {3}) +
               report(SetStopSize, {3}) + report(SetControl, {9})
        << QByteArray() << QByteArray()
        << QVector<ComPortEvent>{{ComPortEvent::BaudRate, 115200},
                                 {ComPortEvent::Parity, 3},
                                 {ComPortEvent::StopSize, 3},
                                 {ComPortEvent::Control, DtrOff}};
    QTest::newRow("escaped value")
        << true << report(SetBaudRate, {0, 0, IAC, IAC, IAC, IAC}) << QByteArray() << QByteArray()
        << QVector<ComPortEvent>{{ComPortEvent::BaudRate, 0xFFFF}};
    QTest::newRow("line state, flow suspend, short value")
        << true
        << report(NotifyLineState, {LineBreak}) + report(FlowControlSuspend) +
               report(SetBaudRate, {1}) + sb(NotifyModemState, {1})
        << QByteArray() << QByteArray()
        << QVector<ComPortEvent>{{ComPortEvent::LineState, LineBreak},
                                 {ComPortEvent::FlowSuspend, 0}};
    QTest::newRow("unended subnegotiation")
        << true
        << QByteArray("A") + b({IAC, SB, ComPort, 107, 0x10, IAC, NOP}) + "B" +
               report(NotifyModemState, {0x20})
        << QByteArray("AB") << QByteArray()
        << QVector<ComPortEvent>{{ComPortEvent::ModemState, 0x20}};
    QTest::newRow("unknown options refused once")
        << true
        << b({IAC, WILL, Echo, IAC, DO, 24, IAC, WILL, Echo, IAC, DO, 24, IAC, DONT, 24, IAC, WILL,
              ComPort})
        << QByteArray() << b({IAC, DONT, Echo, IAC, WONT, 24, IAC, DONT, ComPort}) << none;
    QTest::newRow("one answer per change, none to agreement")
        << true << b({IAC, WILL, SuppressGoAhead, IAC, WILL, Binary, IAC, WONT, Binary,
                      IAC, WONT, Binary,          IAC, WILL, Binary, IAC, DO,   SuppressGoAhead,
                      IAC, DO,   SuppressGoAhead})
        << QByteArray() << b({IAC, DONT, Binary, IAC, DO, Binary, IAC, WILL, SuppressGoAhead})
        << none;
    QTest::newRow("COM-port option taken and withdrawn")
        << true << b({IAC, DO, ComPort, IAC, DONT, ComPort, IAC, DONT, ComPort}) << QByteArray()
        << b({IAC, WONT, ComPort})
        << QVector<ComPortEvent>{{ComPortEvent::Accepted, 0}, {ComPortEvent::Refused, 0}};
    QTest::newRow("NVT CR NUL") << false
                                << b({'a', '\r', 0, 'b', '\r', '\n', '\r', 'c', 0, 0xFF, 0xFF, '\r',
                                      IAC, NOP, 0})
                                << b({'a', '\r', 'b', '\r', '\n', '\r', 'c', 0, 0xFF, '\r'})
                                << QByteArray() << none;
    QTest::newRow("binary granted mid-stream")
        << false << b({'\r', 0, IAC, WILL, Binary, '\r', 0}) << b({'\r', '\r', 0})
        << b({IAC, DO, Binary}) << none;
}

// Whole and cut at every place, the same data, answers and events.
void TelnetTest::receiving()
{
    QFETCH(bool, binary);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, reply);
    QFETCH(QVector<ComPortEvent>, events);
    const TelnetClient start = negotiated(binary);
    for (int cut = 0; cut <= input.size(); ++cut) {
        TelnetClient client = start;
        const TelnetClient::Received first = client.receive(input.left(cut));
        const TelnetClient::Received second = client.receive(input.mid(cut));
        QCOMPARE(first.data + second.data, data);
        QCOMPARE(first.reply + second.reply, reply);
        QCOMPARE(first.events + second.events, events);
        QCOMPARE(client.heldBytes(), 0);
    }
}

void TelnetTest::comPortCommands_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("expected");
    const auto line = [](const LineSettings &settings) {
        return negotiated(true, true).setLineSettings(settings);
    };
    const auto codes = [](std::initializer_list<int> baud, int size, int parity, int stop,
                          int flow) {
        return sb(SetBaudRate, baud) + sb(SetDataSize, {size}) + sb(SetParity, {parity}) +
               sb(SetStopSize, {stop}) + sb(SetControl, {flow});
    };
    using S = QSerialPort;
    QTest::newRow("115200 8N1") << line({115200, S::Data8, S::NoParity, S::OneStop,
                                         S::NoFlowControl})
                                << codes({0, 1, 0xC2, 0}, 8, 1, 1, 1);
    QTest::newRow("7O1.5 hardware")
        << line({300, S::Data7, S::OddParity, S::OneAndHalfStop, S::HardwareControl})
        << codes({0, 0, 1, 0x2C}, 7, 2, 3, 3);
    QTest::newRow("5E2 XON/XOFF, 0xFF in the rate")
        << line({0x01FF00, S::Data5, S::EvenParity, S::TwoStop, S::SoftwareControl})
        << codes({0, 1, 0xFF, 0xFF, 0}, 5, 3, 2, 2);
    QTest::newRow("6 mark, unknowns ask")
        << line({0, S::Data6, S::MarkParity, UnknownStopBits, UnknownFlowControl})
        << codes({0, 0, 0, 0}, 6, 4, 0, 0);
    QTest::newRow("space, unknown size")
        << line({9600, UnknownDataBits, S::SpaceParity, S::OneStop, S::NoFlowControl})
        << codes({0, 0, 0x25, 0x80}, 0, 5, 1, 1);
    TelnetClient client = negotiated(true, true);
    QTest::newRow("control lines")
        << client.setDataTerminalReady(true) + client.setDataTerminalReady(false) +
               client.setRequestToSend(true) + client.setRequestToSend(false) +
               client.setBreak(true) + client.setBreak(false) + client.setModemStateMask(0xF0)
        << sb(SetControl, {8}) + sb(SetControl, {9}) + sb(SetControl, {11}) + sb(SetControl, {12}) +
               sb(SetControl, {5}) + sb(SetControl, {6}) + sb(SetModemStateMask, {0xF0});
}

void TelnetTest::comPortCommands()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, expected);
    QCOMPARE(sent.toHex(' '), expected.toHex(' '));
}

// What is asked for before the server takes the option goes out when it does, on every
// connection; afterwards only changes go out.
void TelnetTest::settingsWaitForTheComPortOption()
{
    TelnetClient client;
    QCOMPARE(client.start(),
             b({IAC, WILL, Binary, IAC, DO, Binary, IAC, WILL, ComPort, IAC, DO, SuppressGoAhead}));
    const LineSettings settings{9600, QSerialPort::Data8, QSerialPort::EvenParity,
                                QSerialPort::OneStop, QSerialPort::NoFlowControl};
    QVERIFY(client.setLineSettings(settings).isEmpty());
    QVERIFY(client.setDataTerminalReady(true).isEmpty());
    const QByteArray all =
        negotiated(true, true).setLineSettings(settings) + ComPortSubnegotiation(SetControl, DtrOn);

    TelnetClient::Received taken = client.receive(b({IAC, DO, ComPort}));
    QCOMPARE(taken.reply, all);
    QCOMPARE(taken.events, (QVector<ComPortEvent>{{ComPortEvent::Accepted, 0}}));
    QVERIFY(client.setLineSettings(settings).isEmpty());
    QVERIFY(client.setDataTerminalReady(true).isEmpty());
    LineSettings faster = settings;
    faster.baudRate = 115200;
    QCOMPARE(client.setLineSettings(faster), BaudRateSubnegotiation(SetBaudRate, 115200));

    // Withdrawn and taken again, then a new connection: everything goes out once more.
    QVERIFY(client.setRequestToSend(false).size() > 0);
    client.receive(b({IAC, DONT, ComPort}));
    QVERIFY(client.setBreak(true).isEmpty());
    const QByteArray now =
        negotiated(true, true).setLineSettings(faster) + ComPortSubnegotiation(SetControl, DtrOn) +
        ComPortSubnegotiation(SetControl, RtsOff) + ComPortSubnegotiation(SetControl, BreakOn);
    QCOMPARE(client.receive(b({IAC, DO, ComPort})).reply, b({IAC, WILL, ComPort}) + now);
    client.start();
    QVERIFY(!client.comPortActive());
    QCOMPARE(client.receive(b({IAC, DO, ComPort})).reply, now);
}

// A subnegotiation that does not end costs no more than SubnegotiationLimit bytes; the data
// around it and the commands after its end come through. 10 MB of data, half of it escaped 0xFF,
// decode in one read in linear time.
void TelnetTest::heavyInput()
{
    TelnetClient client = negotiated();
    QByteArray data = client.receive(QByteArray("A") + b({IAC, SB, ComPort, 107})).data;
    const QByteArray filler(64 * 1024, char(0x10));
    for (int i = 0; i < 160; ++i) {
        data += client.receive(filler).data;
        QVERIFY(client.heldBytes() <= SubnegotiationLimit);
    }
    const TelnetClient::Received rest =
        client.receive(b({IAC, IAC, IAC, SE, 'B'}) + report(NotifyModemState, {0x80}));
    QCOMPARE(data + rest.data, QByteArray("AB"));
    QCOMPARE(rest.events, (QVector<ComPortEvent>{{ComPortEvent::ModemState, 0x80}}));
    QCOMPARE(client.heldBytes(), 0);

    QByteArray bulk(10 * 1024 * 1024, 'x');
    for (int i = 0; i < bulk.size(); i += 2)
        bulk[i] = char(0xFF);
    QCOMPARE(client.receive(client.encodeData(bulk)).data, bulk);
}

// A connection closed inside a command: the next one starts clean.
void TelnetTest::newConnectionDropsACutCommand()
{
    TelnetClient client = negotiated();
    QCOMPARE(client.receive(QByteArray("A") + b({IAC, SB, ComPort, 107, 1})).data, "A");
    QVERIFY(client.heldBytes() > 0);
    client.start();
    QCOMPARE(client.heldBytes(), 0);
    QCOMPARE(client.receive(b({'B', IAC, SE, 'C'})).data, QByteArray("BC"));
    client.receive(b({IAC}));
    client.start();
    QCOMPARE(client.receive(b({IAC, IAC, 'D'})).data, b({0xFF, 'D'}));
}

QTEST_GUILESS_MAIN(TelnetTest)
#include "tst_telnet.moc"
