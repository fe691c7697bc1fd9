#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// Runs this test program again as a child started with `flag` and waits for it to end; the test
// fails unless it ends on its own with exit code 0. The child's error output goes to this
// program's; its standard output is returned through `output`. The child gets this program's
// environment with `variables` ("NAME" removes one, "NAME=value" sets it) applied in order.
void runSelfAsChild(const QString &flag, QByteArray *output = nullptr,
                    const QStringList &variables = {});

// The body of a test program's main() after the application object is built: runs `test`, or,
// when the program was started with the flag of one of `children`, that child's body instead.
int runTestsOrChild(QObject &test, int argc, char *argv[],
                    const QMap<QString, std::function<int()>> &children);
