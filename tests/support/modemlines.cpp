#include "support/modemlines.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <dlfcn.h>

QString ModemLines::Change::toString() const
{
    QString text = line;
    if (value >= 0)
        text += QLatin1Char(' ') + QString::number(value);
    if (refused)
        text += QStringLiteral(" refused");
    return text;
}

ModemLines::ModemLines()
{
    // Found only when preloaded; null when preloaded without a directory to record in.
    using Directory = const char *(*)();
    const auto found =
        reinterpret_cast<Directory>(dlsym(RTLD_DEFAULT, "sermora_modemlines_directory"));
    if (const char *path = found ? found() : nullptr) {
        directory = QString::fromLocal8Bit(path);
        QDir().mkpath(directory);
    }
    writeInputs();
    clear();
}

void ModemLines::setInputs(bool cts, bool dsr, bool dcd, bool ri)
{
    inputs = QStringLiteral("CTS=%1 DSR=%2 DCD=%3 RI=%4")
                 .arg(int(cts))
                 .arg(int(dsr))
                 .arg(int(dcd))
                 .arg(int(ri));
    writeInputs();
}

void ModemLines::failLines(const QStringList &lines)
{
    refusals =
        lines.isEmpty() ? QString() : QStringLiteral(" FAIL=") + lines.join(QLatin1Char(','));
    writeInputs();
}

void ModemLines::writeInputs()
{
    if (!isLoaded())
        return;
    // Replaced whole, so that a read at the same time sees the old or the new lines.
    QSaveFile file(directory + QStringLiteral("/inputs"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write((inputs + refusals).toLatin1() + '\n');
        file.commit();
    }
}

void ModemLines::clear()
{
    if (isLoaded())
        QFile(directory + QStringLiteral("/changes")).resize(0);
}

QList<ModemLines::Change> ModemLines::changes() const
{
    QList<Change> changes;
    QFile file(directory + QStringLiteral("/changes"));
    if (!isLoaded() || !file.open(QIODevice::ReadOnly))
        return changes;
    for (const QByteArray &text : file.readAll().split('\n')) {
        const QList<QByteArray> words = text.split(' ');
        if (words.size() < 3)
            continue;
        Change change;
        change.time = words[0].toLongLong();
        change.line = QString::fromLatin1(words[2]);
        if (words.size() > 3 && words[3] != "refused")
            change.value = words[3].toInt();
        change.refused = words.last() == "refused";
        changes.append(change);
    }
    return changes;
}

QStringList ModemLines::history(const QStringList &lines) const
{
    QStringList history;
    for (const Change &change : changes())
        if (lines.isEmpty() ? change.line != QLatin1String("GET") : lines.contains(change.line))
            history.append(change.toString());
    return history;
}
