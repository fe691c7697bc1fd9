#pragma once

#include <QString>

// True when a settings file holds a value in the toolkit's serialised form ("@Variant(...)" or
// "@DateTime(...)") as the toolkit's INI reader sees it: after splitting lines (at CR too) and
// undoing quotes, escapes ("\x40Variant(") and lists ("a, @Variant("). The program only ever
// stores plain text, so such a value was put there by hand or by another program, and decoding a
// crafted one can bring the process down.
bool HoldsSerializedValues(const QString &path);

// Moves such a file out of the way, so the program starts from its defaults instead of failing at
// every start. It goes to path + ".bad", or to the first of ".bad.1", ".bad.2", ... that is free:
// an older copy set aside is the user's data too. Returns the new name, or an empty text when
// the file was left where it is.
QString SetAsideIfSerialized(const QString &path);
