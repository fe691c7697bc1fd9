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
    QString informativeText;
    QString className;
};

// Answers the next application-modal window (message box, input or file dialog) from the event
// loop: `answer` gets the window, reads it and closes it (press a button, accept, reject).
// The returned record is filled in when that happens.
std::shared_ptr<ModalSeen> answerNextModal(std::function<void(QWidget *)> answer,
                                           int timeoutMs = 10000);
// Presses the default button (OK) of the next message box.
std::shared_ptr<ModalSeen> acceptNextMessageBox(int timeoutMs = 10000);

// The named control of the window, or null when it has none of that name and class.
template <typename T> T *control(QWidget *window, const QString &name)
{
    return window->findChild<T *>(name);
}

// Makes a fresh, empty directory (with no "config.ini") the working directory, so that the next
// window starts from nothing; the directory is removed when the test program ends.
QString freshWorkingDirectory();
