#include "support/child.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

void runSelfAsChild(const QString &flag, QByteArray *output, const QStringList &variables)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &variable : variables) {
        if (variable.contains(QLatin1Char('=')))
            environment.insert(variable.section(QLatin1Char('='), 0, 0),
                               variable.section(QLatin1Char('='), 1));
        else
            environment.remove(variable);
    }
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {flag});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForFinished(30000));
    if (output)
        *output = child.readAllStandardOutput();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

int runTestsOrChild(QObject &test, int argc, char *argv[],
                    const QMap<QString, std::function<int()>> &children)
{
    const QStringList arguments = QCoreApplication::arguments();
    for (auto child = children.begin(); child != children.end(); ++child)
        if (arguments.contains(child.key()))
            return child.value()();
    return QTest::qExec(&test, argc, argv);
}
