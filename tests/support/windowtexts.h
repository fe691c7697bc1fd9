#pragma once

#include <QFont>
#include <QStringList>

class QWidget;

// Every text the window shows (its title, labels, buttons, check boxes, group titles), one
// "objectName<TAB>text" line each, in the order of the widget tree.
QStringList windowTexts(QWidget *window);

// True when `text` holds a Chinese character or punctuation mark.
bool containsChinese(const QString &text);

// The visible labels, buttons and check boxes below `window` whose text is wider than the room
// the control gives it, as `objectName: "text" (width in room)`. Empty when every text fits.
QStringList cutOffTexts(QWidget *window);

// The default font of an X11 desktop without a theme of its own (as under Xvfb), for the texts
// that have no font of their own; the headless platform's default is larger.
QFont desktopFont();
