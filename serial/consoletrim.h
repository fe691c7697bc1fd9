#pragma once

#include "serial/console.h"

#include <QStringView>
#include <QVector>

// When a console buffer passes its limit, the oldest whole parts (one per display call) go from
// both buffers together, so that the two renditions still describe the same chunks and the
// console keeps the newest lines instead of starting afresh.

// The lengths one display call added to the text and the hex buffer.
struct PartLengths
{
    int text = 0;
    int hex = 0;
};

// How many of the oldest `parts` to drop, given the buffers' lengths (the sums of the parts):
// none while neither is strictly longer than its limit, else as few as leave each at most three
// quarters of its limit. The newest part is never dropped, so a single part longer than that
// stands alone instead of leaving the console empty. Time in the parts dropped only.
int PartsToDrop(const QVector<PartLengths> &parts, int textLength, int hexLength,
                int textLimit = TextBufferLimit, int hexLimit = HexBufferLimit);

// How many more characters the console drops from the start of `remaining`, the text left
// behind `dropped`, to start at the beginning of a line. Lines end at LF in either rendition
// (the stamps start after it). Nothing when the dropped text ended a line or there is none, and
// nothing either when no LF follows or one ends the text: text that never ends a line is not
// thrown away to find a line start, and the console is never left empty.
int LineStartSkip(QStringView dropped, QStringView remaining);
