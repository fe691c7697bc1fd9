#include "config/inicheck.h"

#include "serial/trace.h"

#include <QFile>

bool HoldsSerializedValues(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        const int equals = line.indexOf('=');
        if (equals < 0)
            continue;
        int start = equals + 1;
        while (start < line.size() &&
               (line[start] == ' ' || line[start] == '\t' || line[start] == '"'))
            ++start;
        const QByteArray value =
            QByteArray::fromRawData(line.constData() + start, line.size() - start);
        if (value.startsWith("@Variant(") || value.startsWith("@DateTime("))
            return true;
    }
    return false;
}

void SetAsideIfSerialized(const QString &path)
{
    if (!HoldsSerializedValues(path))
        return;
    const QString aside = path + QStringLiteral(".bad");
    QFile::remove(aside);
    QFile::rename(path, aside);
    DebugTrace(QStringLiteral("Set aside ") + path + QStringLiteral(" as ") + aside);
}
