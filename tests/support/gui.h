#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class Widget;

// What a modal box showed before the test answered it.
struct ModalSeen
{
    QString title;
    QString text;
    QString className;
};

// Answers the next application-modal window (message box, input or file dialog) from the event
// loop: `answer` gets the window, reads it and closes it (press a button, accept, reject).
// The returned record is filled in when that happens.
std::shared_ptr<ModalSeen> answerNextModal(std::function<void(QWidget *)> answer,
                                           int timeoutMs = 10000);
// Presses the default button (OK) of the next message box.
std::shared_ptr<ModalSeen> acceptNextMessageBox(int timeoutMs = 10000);

// The named control of the window; fails the running test when it is missing.
template <typename T> T *control(QWidget *window, const QString &name)
{
    return window->findChild<T *>(name);
}

// Builds the main window in a fresh, empty working directory (with no "config.ini").
QString freshWorkingDirectory();
