#pragma once

// What Qt 5 and Qt 6 do differently, behind one interface: the rest of the program calls these and
// never tests the toolkit's version.

class QMouseEvent;
class QObject;
class QPoint;
class QSettings;

// Qt 5 scales for high-DPI screens and picks @2x images only when asked to; Qt 6 always does, and
// is told to size fonts by the rounded factor as Qt 5 does. Before the application object.
void UseToolkitHighDpiScaling();

// Where the cursor was on the screen, in whole device-independent pixels.
QPoint GlobalPosition(const QMouseEvent &event);

// Connects form's slots named on_<object>_<signal> to its children's signals, as
// QMetaObject::connectSlotsByName does, and also each on_<combo box>_currentIndexChanged(const
// QString &) whose combo box announces only the new index (Qt 6's QComboBox): it gets the text of
// the item chosen, as from Qt 5's signal.
void ConnectSlotsByName(QObject *form);

// Keeps the INI file settings writes in Qt 5's form. Qt 6 writes the non-ASCII characters of values
// as UTF-8, where Qt 5 writes \x escapes, which Qt 6 reads as well, while Qt 5 would read Qt 6's
// UTF-8 as Latin-1; on Qt 6 each write of the file, including the last as settings goes, is
// rewritten with Qt 5's escapes.
void KeepQt5IniForm(QSettings &settings);
