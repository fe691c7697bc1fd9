#include "support/session.h"

#include "app/globals.h"
#include "serial/port.h"
#include "support/pty.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPushButton>

bool openOnPty(QWidget *window, const PtyPair &pty, int timeoutMs)
{
    return openOnPath(window, pty.slavePath(), timeoutMs);
}

bool openOnPath(QWidget *window, const QString &path, int timeoutMs)
{
    qputenv("SERMORA_EXTRA_PORTS", path.toLocal8Bit());
    auto *ports = window->findChild<QComboBox *>(QStringLiteral("comboBox_serial"));
    auto *open = window->findChild<QPushButton *>(QStringLiteral("pushButton_serialOpen"));
    QDeadlineTimer deadline(timeoutMs);
    while (ports->findText(path) < 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const int index = ports->findText(path);
    if (index < 0)
        return false;
    ports->setCurrentIndex(index);
    open->click();
    return serialPort != nullptr && serialPort->isOpen();
}

void tearDownSession(QWidget *window, PtyPair *pty)
{
    delete window;
    delete serialPort;
    serialPort = nullptr;
    delete pty;
}
