#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QObject>

#include <functional>

// Hands the key presses of the object it is installed on to `handle`, which returns whether it
// took the key: for the keys a line edit would otherwise handle itself or ignore (Return with
// Shift, Up, Down, Escape).
class KeyFilter : public QObject
{
public:
    KeyFilter(QObject *watched, std::function<bool(QKeyEvent *)> handle)
        : QObject(watched), handle(std::move(handle))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::KeyPress && handle(static_cast<QKeyEvent *>(event));
    }

private:
    std::function<bool(QKeyEvent *)> handle;
};
