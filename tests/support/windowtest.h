#pragma once

#include "support/gui.h"

#include <QObject>

class PtyPair;
class Widget;

// The fixture of the test classes that drive one main window: before each test a fresh working
// directory, the program-wide state of a new start (no port listed or open, empty console, no run,
// no recording), a shown window and a pty standing in for the module; after each test the window,
// the session's port and the pty go, so the next test starts with no port open.
//
// A test class derives from it. One that needs more before or after each test declares init()
// or cleanup() among its own private slots and calls WindowTest::init() or ::cleanup() first.
class WindowTest : public QObject
{
    Q_OBJECT

protected slots:
    void init();
    void cleanup();

protected:
    // The window's control of this name and class; the test program stops if there is none.
    template <typename T> T *get(const char *name) const
    {
        T *found = control<T>(window, QString::fromLatin1(name));
        if (!found)
            qFatal("The window has no %s named %s", T::staticMetaObject.className(), name);
        return found;
    }

    // Opens the window's port on the pty, listing it at once instead of at the next scan.
    bool openPort();

    Widget *window = nullptr;
    PtyPair *pty = nullptr;
};
