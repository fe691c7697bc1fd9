#pragma once

// What Qt 5 and Qt 6 do differently, behind one interface: the rest of the program calls these and
// never tests the toolkit's version.

class QMouseEvent;
class QObject;
class QPoint;

// Qt 5 scales for high-DPI screens and picks @2x images only when asked to; Qt 6 always does.
void UseToolkitHighDpiScaling();

// Where the cursor was on the screen, in whole device-independent pixels.
QPoint GlobalPosition(const QMouseEvent &event);

// Connects form's slots named on_<object>_<signal> to its children's signals, as
// QMetaObject::connectSlotsByName does, and also each on_<combo box>_currentIndexChanged(const
// QString &) whose combo box announces only the new index (Qt 6's QComboBox): it gets the text of
// the item chosen, as from Qt 5's signal.
void ConnectSlotsByName(QObject *form);
