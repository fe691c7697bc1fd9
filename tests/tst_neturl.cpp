#include "serial/neturl.h"

#include <QtTest>

class NetUrlTest : public QObject
{
    Q_OBJECT

private slots:
    void parsing_data();
    void parsing();
    void storedList();
};

void NetUrlTest::parsing_data()
{
    QTest::addColumn<QString>("text");
    // Its one spelling and its host; none when refused.
    QTest::addColumn<QStringList>("parsed");
    const QStringList refused;

    QTest::newRow("rfc2217") << "rfc2217://localhost:2000"
                             << QStringList{"rfc2217://localhost:2000", "localhost"};
    QTest::newRow("tcp, IPv4, last port")
        << "tcp://127.0.0.1:65535" << QStringList{"tcp://127.0.0.1:65535", "127.0.0.1"};
    QTest::newRow("upper case, leading zero")
        << "RFC2217://Rack-3.Lab_A:02001"
        << QStringList{"rfc2217://rack-3.lab_a:2001", "rack-3.lab_a"};
    QTest::newRow("IPv6 loopback") << "tcp://[::1]:1" << QStringList{"tcp://[::1]:1", "::1"};
    QTest::newRow("IPv6 eight groups")
        << "tcp://[FE80:0:0:0:0:0:0:1]:7"
        << QStringList{"tcp://[fe80:0:0:0:0:0:0:1]:7", "fe80:0:0:0:0:0:0:1"};
    QTest::newRow("IPv6 with IPv4 tail")
        << "rfc2217://[::ffff:127.0.0.1]:2000"
        << QStringList{"rfc2217://[::ffff:127.0.0.1]:2000", "::ffff:127.0.0.1"};

    QTest::newRow("no port") << "rfc2217://localhost" << refused;
    QTest::newRow("port 0") << "tcp://localhost:0" << refused;
    QTest::newRow("port 65536") << "tcp://localhost:65536" << refused;
    QTest::newRow("port 4294967297") << "tcp://localhost:4294967297" << refused;
    QTest::newRow("signed port") << "tcp://localhost:+20" << refused;
    QTest::newRow("unknown scheme") << "telnet://localhost:23" << refused;
    QTest::newRow("no scheme") << "localhost:2000" << refused;
    QTest::newRow("space in host") << "rfc2217://local host:2000" << refused;
    QTest::newRow("space before port") << "rfc2217://localhost: 2000" << refused;
    QTest::newRow("trailing space") << "tcp://localhost:2000 " << refused;
    QTest::newRow("empty host") << "tcp://:2000" << refused;
    QTest::newRow("IPv6 unbracketed") << "tcp://::1:2000" << refused;
    QTest::newRow("IPv6 two gaps") << "tcp://[1::2::3]:2000" << refused;
    QTest::newRow("IPv6 nine groups") << "tcp://[1:2:3:4:5:6:7:8:9]:2000" << refused;
    QTest::newRow("IPv6 bad tail") << "tcp://[::ffff:1.2.3.256]:2000" << refused;
    QTest::newRow("brackets around a name") << "tcp://[localhost]:2000" << refused;
}

void NetUrlTest::parsing()
{
    QFETCH(QString, text);
    QFETCH(QStringList, parsed);
    const std::optional<NetPortUrl> url = ParseNetPortUrl(text);
    QCOMPARE(url ? QStringList({url->toString(), url->host}) : QStringList(), parsed);
    if (url)
        QCOMPARE(ParseNetPortUrl(parsed.first()), url);
}

// Loading keeps the good entries in order, once each; storing them again keeps them all.
void NetUrlTest::storedList()
{
    const QList<NetPortUrl> ports =
        SplitNetPorts("  tcp://a:1  bad rfc2217://b:0 TCP://A:01 rfc2217://a:1 tcp://[::1]:2 ");
    QCOMPARE(JoinNetPorts(ports), "tcp://a:1 rfc2217://a:1 tcp://[::1]:2");
    QCOMPARE(SplitNetPorts(JoinNetPorts(ports)), ports);
    QVERIFY(SplitNetPorts("").isEmpty());
}

QTEST_GUILESS_MAIN(NetUrlTest)
#include "tst_neturl.moc"
