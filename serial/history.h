#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// Where the commands sent from the one-line entry are stored, apart for text and hex sends.
inline const QString TextHistoryKey = QStringLiteral("/history/text");
inline const QString HexHistoryKey = QStringLiteral("/history/hex");

// The commands sent from the one-line entry, stepped through with Up and Down as a shell does.
// The entry keeps its text after a send, so while it holds exactly the newest command, that
// command is not a step of its own: the first Up goes to the one before.
class CommandHistory
{
public:
    static constexpr int MaxEntries = 100;
    // Longer commands are neither kept nor loaded: recalling a cut command would send text that
    // was never typed, and the bound keeps the stored value (at most 100 of these) small enough
    // to read at every start.
    static constexpr int MaxEntryChars = 4096;

    // A sent command. An empty one, an over-long one and a repeat of the newest are not added.
    // Stepping starts again from the entry.
    void add(const QString &command);

    // Up with `lineText` in the entry: the command to show, or nothing when there is none older.
    // Leaving the entry for the history keeps `lineText` to come back to.
    std::optional<QString> older(const QString &lineText);
    // Down: the next newer command, past the newest what was in the entry; nothing when the entry
    // is shown already.
    std::optional<QString> newer();

    const QStringList &entries() const { return list; }

    // The value to store: the commands, oldest first (QSettings keeps a list as plain text).
    QStringList stored() const { return list; }
    // Replaces the commands by a stored value: a list or a single text. Only the newest 100 are
    // looked at, so the work is bounded whatever the value holds; empty and over-long ones are
    // skipped, and so are repeats of the one before.
    void restore(const QVariant &value);

private:
    QStringList list;
    // The command shown, or list.size() for the entry itself.
    int position = 0;
    QString edited;
};
