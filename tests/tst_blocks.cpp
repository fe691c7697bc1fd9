#include "transfer/blocks.h"

#include <QtTest>

class BlocksTest : public QObject
{
    Q_OBJECT

private slots:
    void blockSize_data();
    void blockSize();
    void progress_data();
    void progress();
    void deadlines_data();
    void deadlines();
};

void BlocksTest::blockSize_data()
{
    QTest::addColumn<qint64>("baud");
    QTest::addColumn<qint64>("bytes");
    QTest::newRow("115200") << qint64(115200) << qint64(144);
    QTest::newRow("9600") << qint64(9600) << qint64(12);
    QTest::newRow("1200") << qint64(1200) << qint64(1);
    QTest::newRow("921600") << qint64(921600) << qint64(1152);
    QTest::newRow("380400 truncates") << qint64(380400) << qint64(475);
    // Below 800 baud a whole block would round down to nothing and the file would never end.
    QTest::newRow("600") << qint64(600) << qint64(1);
    QTest::newRow("300") << qint64(300) << qint64(1);
    QTest::newRow("110") << qint64(110) << qint64(1);
    QTest::newRow("unreadable rate 0") << qint64(0) << qint64(1);
}

void BlocksTest::blockSize()
{
    QFETCH(qint64, baud);
    QFETCH(qint64, bytes);
    QCOMPARE(SendBlockSize(baud), bytes);
}

void BlocksTest::progress_data()
{
    QTest::addColumn<qint64>("blocks");
    QTest::addColumn<qint64>("blockSize");
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<qint64>("percent");
    QTest::newRow("288 bytes, first block")
        << qint64(1) << qint64(144) << qint64(288) << qint64(50);
    QTest::newRow("288 bytes, second block")
        << qint64(2) << qint64(144) << qint64(288) << qint64(100);
    QTest::newRow("100 bytes, short block overshoots")
        << qint64(1) << qint64(144) << qint64(100) << qint64(144);
    QTest::newRow("truncates") << qint64(1) << qint64(1) << qint64(3) << qint64(33);
    QTest::newRow("256 bytes, last block")
        << qint64(2) << qint64(144) << qint64(256) << qint64(112);
    QTest::newRow("empty file") << qint64(1) << qint64(144) << qint64(0) << qint64(100);
    // k * block * 100 passes 2^31 from about 21 MB and 2^63 from about 92 PB.
    QTest::newRow("50 MB halfway")
        << qint64(182044) << qint64(144) << qint64(52428672) << qint64(50);
    QTest::newRow("1 TiB, one block")
        << qint64(1) << qint64(1152) << (qint64(1) << 40) << qint64(0);
    QTest::newRow("1 TiB, 99%") << qint64(954437176) << qint64(1152) << (qint64(1) << 40)
                                << qint64(99);
    QTest::newRow("1 PiB, all read")
        << (qint64(1) << 40) << qint64(1024) << (qint64(1) << 50) << qint64(100);
}

void BlocksTest::progress()
{
    QFETCH(qint64, blocks);
    QFETCH(qint64, blockSize);
    QFETCH(qint64, fileSize);
    QFETCH(qint64, percent);
    QCOMPARE(SendProgress(blocks, blockSize, fileSize), percent);
}

void BlocksTest::deadlines_data()
{
    QTest::addColumn<qint64>("last");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("next");
    QTest::newRow("first block, on time") << qint64(0) << qint64(0) << qint64(50);
    // The pause is shortened by the lateness, so the pace holds on average.
    QTest::newRow("woke 7 ms late") << qint64(100) << qint64(107) << qint64(150);
    QTest::newRow("exactly at the next deadline") << qint64(100) << qint64(150) << qint64(150);
    // Held up for longer than a period: one block at once, then on from there.
    QTest::newRow("held up for a second") << qint64(100) << qint64(1100) << qint64(1100);
}

void BlocksTest::deadlines()
{
    QFETCH(qint64, last);
    QFETCH(qint64, now);
    QFETCH(qint64, next);
    QCOMPARE(NextBlockDeadline(last, now), next);
}

QTEST_APPLESS_MAIN(BlocksTest)
#include "tst_blocks.moc"
