#include "support/windowtest.h"

#include "app/globals.h"
#include "app/widget.h"
#include "support/pty.h"
#include "support/session.h"

#include <QPushButton>
#include <QtTest>

void WindowTest::init()
{
    freshWorkingDirectory();
    qunsetenv("SERMORA_EXTRA_PORTS");
    textDisplayBuffer.clear();
    hexDisplayBuffer.clear();
    isBatchRunning = false;
    window = new Widget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    pty = new PtyPair;
    QVERIFY(pty->isOpen());
}

void WindowTest::cleanup()
{
    if (logRecording)
        get<QPushButton>("pushButton_log")->click();
    tearDownSession(window, pty);
    window = nullptr;
    pty = nullptr;
}

bool WindowTest::openPort()
{
    qputenv("SERMORA_EXTRA_PORTS", pty->slavePath().toLocal8Bit());
    QMetaObject::invokeMethod(window, "_KESTO_GetSerialPorts");
    return openOnPty(window, *pty);
}
