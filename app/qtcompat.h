#pragma once

// What Qt 5 and Qt 6 do differently, behind one interface: the rest of the program calls these and
// never tests the toolkit's version.

class QMouseEvent;
class QObject;
class QPoint;
class QSettings;
class QWidget;

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

// Qt 6 takes a font's ascent and descent from its tables and rounds their sum; Qt 5 rounded each of
// them up, as FreeType reports them. A line of text is then often a pixel shorter on Qt 6 (DejaVu
// Sans at 9 pt: 14 instead of 15 pixels), and so is every control sized by it. On Qt 6 this gives
// each control of `window` whose height follows its font or its one line of text (line edits,
// combo boxes, labels, buttons, group box titles) the height it has on Qt 5; on Qt 5 it does
// nothing. Once, when the window is built; its texts and fonts are set.
void KeepQt5TextHeights(QWidget *window);
