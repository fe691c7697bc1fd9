#include "serial/history.h"

namespace {

bool Keepable(const QString &command)
{
    return !command.isEmpty() && command.size() <= CommandHistory::MaxEntryChars;
}

} // namespace

void CommandHistory::add(const QString &command)
{
    if (Keepable(command) && (list.isEmpty() || list.last() != command)) {
        list.append(command);
        if (list.size() > MaxEntries)
            list.removeFirst();
    }
    position = list.size();
    edited.clear();
}

std::optional<QString> CommandHistory::older(const QString &lineText)
{
    const bool fromEntry = position >= list.size();
    int target = position - 1;
    if (fromEntry && target >= 0 && list.at(target) == lineText)
        --target;
    if (target < 0)
        return std::nullopt;
    if (fromEntry)
        edited = lineText;
    position = target;
    return list.at(position);
}

std::optional<QString> CommandHistory::newer()
{
    if (position >= list.size())
        return std::nullopt;
    ++position;
    // Up stepped over the newest command because the entry held it; Down does the same.
    if (position == list.size() - 1 && list.last() == edited)
        ++position;
    if (position >= list.size())
        return edited;
    return list.at(position);
}

void CommandHistory::restore(const QVariant &value)
{
    QStringList stored;
    if (value.userType() == QMetaType::QStringList)
        stored = value.toStringList();
    else if (value.userType() == QMetaType::QString)
        stored.append(value.toString());
    list.clear();
    for (int i = qMax(0, stored.size() - MaxEntries); i < stored.size(); ++i) {
        const QString &command = stored.at(i);
        if (Keepable(command) && (list.isEmpty() || list.last() != command))
            list.append(command);
    }
    position = list.size();
    edited.clear();
}
