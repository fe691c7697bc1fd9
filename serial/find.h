#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

// Finding text in the console: the needle is literal text ("*", "[" and "\" are characters like
// any other), matches do not overlap and are taken left to right, and an empty needle finds
// nothing. Case-insensitive matching folds each UTF-16 unit on its own, so characters outside
// the basic plane match only as they are.

// Start positions of the matches of `needle` in `haystack`, in O(haystack + needle) time.
QVector<int> FindMatches(const QString &haystack, const QString &needle, Qt::CaseSensitivity cs);

// The count the find bar shows: "3/17" for the third of 17 matches, "0/17" when none is the
// current one, "0/0" when there is none.
QString FindCountText(int current, int count);

// The match after / before `current` among `count`, wrapping at either end; from no current
// match (-1) the first / the last. -1 when there is none.
int NextMatch(int current, int count);
int PreviousMatch(int current, int count);

// The matches of one needle in a text that grows at its end and loses text at its front, as the
// console does while the find bar is open. The text itself is not kept: appending costs time in
// the length of the chunk only, and a match that straddles the previous end is found once, when
// the chunk that completes it arrives.
class TextFinder
{
public:
    // Starts afresh on an empty text; feed the current text with append().
    void setNeedle(const QString &needle, Qt::CaseSensitivity cs);
    // Forgets the text, keeping the needle.
    void clear();

    void append(QStringView chunk);
    // The first `count` characters were removed: positions move down, and a match that began
    // there is gone. A current match that went with them gives way to the first one left. A match
    // that overlapped a dropped one stays unfound (only a needle that overlaps itself, as "aa"
    // does in "aaa", has such).
    void dropFront(int count);

    const QVector<int> &matches() const { return found; }
    int needleLength() const { return pattern.size(); }
    int textLength() const { return length; }

    // Index into matches(), or -1. The first match found becomes current when there was none;
    // later ones leave it where it is, so arriving text does not move the view.
    int current() const { return at; }
    void setCurrent(int index);
    // Makes current the first match that starts at or after `position`, else the first one.
    void selectFrom(int position);
    void next() { at = NextMatch(at, found.size()); }
    void previous() { at = PreviousMatch(at, found.size()); }
    QString countText() const { return FindCountText(at, found.size()); }

private:
    ushort unit(QChar c) const;

    QVector<ushort> pattern; // folded when matching ignores case
    QVector<int> border;     // border[i]: longest proper border of pattern[0..i]
    bool ignoreCase = false;
    int state = 0; // length of the needle's prefix that ends the text, past the last match
    int length = 0;
    QVector<int> found;
    int at = -1;
};
