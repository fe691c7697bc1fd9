// The batch run's rules without a window: which rows and passes it sends in which order, and how
// the texts of delays and intervals become waits.

#include "commands/batchrun.h"

#include <QtTest>

class BatchRunTest : public QObject
{
    Q_OBJECT

private slots:
    void waitLengths_data();
    void waitLengths();
    void order_data();
    void order();
};

void BatchRunTest::waitLengths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("ms");

    QTest::newRow("number") << "100" << 100u;
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("letters") << "abc" << 0u;
    QTest::newRow("number then letters") << "100ms" << 0u;
    QTest::newRow("negative") << "-3" << 0u;
    QTest::newRow("surrounding spaces") << " 250 " << 250u;
    QTest::newRow("plus sign") << "+5" << 5u;
    QTest::newRow("leading zeros") << "007" << 7u;
    QTest::newRow("hex prefix") << "0x10" << 0u;
    QTest::newRow("exponent") << "1e3" << 0u;
    QTest::newRow("largest") << "2147483647" << 2147483647u;
    QTest::newRow("beyond int") << "2147483648" << 0u;
}

void BatchRunTest::waitLengths()
{
    QFETCH(QString, text);
    QFETCH(quint32, ms);
    QCOMPARE(WaitLength(text), ms);
}

void BatchRunTest::order_data()
{
    QTest::addColumn<QList<int>>("rows"); // the rows that are sent when reached
    QTest::addColumn<int>("passes");
    // After this many steps (a row sent or a pass ended), `change` happens: "stop", a new pass
    // count, or a row that is now sent ("+n") or no longer ("-n").
    QTest::addColumn<int>("afterSteps");
    QTest::addColumn<QString>("change");
    // Pass-row of each row sent, "|" for each pass end.
    QTest::addColumn<QString>("trace");

    QTest::newRow("row order across pages") << QList<int>{110, 7, 150} << 1 << 0 << ""
                                            << "1-7 1-110 1-150 |";
    QTest::newRow("every pass ends with its interval") << QList<int>{3, 30} << 2 << 0 << ""
                                                       << "1-3 1-30 | 2-3 2-30 |";
    QTest::newRow("no row to send") << QList<int>{} << 3 << 0 << ""
                                    << "| | |";
    QTest::newRow("no pass") << QList<int>{1} << 0 << 0 << ""
                             << "";
    QTest::newRow("stop after a row") << QList<int>{1, 2} << 3 << 1 << "stop"
                                      << "1-1 |";
    QTest::newRow("stop during an interval") << QList<int>{1} << 3 << 2 << "stop"
                                             << "1-1 |";
    QTest::newRow("count lowered during a pass") << QList<int>{1, 2} << 5 << 1 << "1"
                                                 << "1-1 1-2 |";
    QTest::newRow("row ticked ahead of the run") << QList<int>{3} << 1 << 1 << "+5"
                                                 << "1-3 1-5 |";
    QTest::newRow("row ticked behind the run") << QList<int>{3} << 2 << 1 << "+1"
                                               << "1-3 | 2-1 2-3 |";
    QTest::newRow("row unticked ahead of the run") << QList<int>{3, 5} << 1 << 1 << "-5"
                                                   << "1-3 |";
}

void BatchRunTest::order()
{
    QFETCH(QList<int>, rows);
    QFETCH(int, passes);
    QFETCH(int, afterSteps);
    QFETCH(QString, change);
    QFETCH(QString, trace);

    QSet<int> sent(rows.begin(), rows.end());
    bool stopped = false;
    QStringList steps;
    const auto step = [&](const QString &what) {
        steps << what;
        if (steps.size() != afterSteps)
            return;
        if (change == QLatin1String("stop"))
            stopped = true;
        else if (change.startsWith(QLatin1Char('+')))
            sent.insert(change.mid(1).toInt());
        else if (change.startsWith(QLatin1Char('-')))
            sent.remove(change.mid(1).toInt());
        else
            passes = change.toInt();
    };

    BatchRunSteps run;
    run.passCount = [&] { return passes; };
    run.isSent = [&](int row) { return sent.contains(row); };
    run.mayGoOn = [&] { return !stopped; };
    run.sendRow = [&](int pass, int row) { step(QStringLiteral("%1-%2").arg(pass).arg(row)); };
    run.endPass = [&] { step(QStringLiteral("|")); };
    RunBatch(run);
    QCOMPARE(steps.join(QLatin1Char(' ')), trace);
}

QTEST_GUILESS_MAIN(BatchRunTest)
#include "tst_batchrun.moc"
