// libFuzzer target: Widget::LoadConfigFile on any file content, with a real main window on the
// offscreen platform.
//
// Input: one byte of flags, then the file's content. Flag bit 0 loads the file as "config.ini"
// from the working directory, which also applies the line parameters and switches at start-up;
// otherwise the file is loaded by its absolute name, as the load command does.
// Every run writes the file with a modification time of its own, so the settings class never
// answers from a copy it parsed before.
//
// The window is built once, in a temporary working directory of its own (its constructor reads
// and its handlers write "config.ini" there), which the target removes at exit; the fuzzer
// itself keeps the working directory it was started in.
// Checks:
// - a file that HoldsSerializedValues reports is refused: LoadConfigFile says so and every row,
//   the run count and the interval stay as they were;
// - in any other file the settings class decodes no serialised value ("@Variant(...)",
//   "@DateTime(...)"): every value it reads is text, a list of texts, or one of the harmless
//   forms "@ByteArray(...)", "@Rect(...)", "@Size(...)", "@Point(...)", "@Invalid()" (an
//   invalid value counts as decoded unless the file has the text "Invalid()");
// - the row switches show exactly the rows whose stored value is "true".

#include "check.h"

#include "app/counts.h"
#include "app/globals.h"
#include "app/widget.h"
#include "config/inicheck.h"
#include "config/keys.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QApplication *app = nullptr;
Widget *window = nullptr;
QString workDir;
quint64 runs = 0;

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void removeWorkDir()
{
    if (!workDir.isEmpty())
        QDir(workDir).removeRecursively();
}

// What the settings class made of one value: text, a list of texts, or one of the harmless
// forms. An invalid value stands for "@Invalid()" only when the file says so; otherwise it is a
// decoded "@Variant(...)" of a type that does not exist.
bool plainValue(const QVariant &value, bool mayBeInvalid)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return mayBeInvalid;
    case QMetaType::QString:
    case QMetaType::QStringList:
    case QMetaType::QByteArray:
    case QMetaType::QRect:
    case QMetaType::QSize:
    case QMetaType::QPoint:
        return true;
    case QMetaType::QVariantList:
        for (const QVariant &item : value.toList())
            if (!plainValue(item, mayBeInvalid))
                return false;
        return true;
    default:
        return false;
    }
}

// Every row, the run count and the interval, in a comparable form.
QStringList shownRows()
{
    QStringList rows;
    for (int i = 0; i < RowCount; ++i)
        rows << QStringLiteral("%1%2%3|%4|%5")
                    .arg(selectCheckBoxList[i]->isChecked() ? 'S' : '-')
                    .arg(hexCheckBoxList[i]->isChecked() ? 'H' : '-')
                    .arg(enterCheckBoxList[i]->isChecked() ? 'E' : '-')
                    .arg(cmdLineEditList[i]->text(), delayLineEditList[i]->text());
    for (const char *name : {"lineEdit_RunTimes", "lineEdit_Interval"})
        rows << window->findChild<QLineEdit *>(QLatin1String(name))->text();
    return rows;
}

void setup()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    // Under TMPDIR if set (scripts/fuzz points it into the run's folder), else /tmp.
    QByteArray pattern =
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/sermora-fuzz-config-XXXXXX"));
    if (!mkdtemp(pattern.data()))
        std::abort();
    workDir = QFile::decodeName(pattern);
    std::atexit(removeWorkDir);
    // The window opens "config.ini" in the working directory; the fuzzer's own paths (corpus,
    // crash files) stay relative to the directory it was started in.
    const QString started = QDir::currentPath();
    if (!QDir::setCurrent(workDir))
        std::abort();
    static int argc = 1;
    static char name[] = "fuzz_config";
    static char *argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
    window = new Widget;
    QDir::setCurrent(started);
    // The loads below use directories of their own; the window keeps "config.ini" in workDir.
    QDir(workDir).mkdir(QStringLiteral("loads"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool asConfigIni = data[0] & 1;
    const QByteArray content(reinterpret_cast<const char *>(data + 1), int(size - 1));

    const QString dir = workDir + QStringLiteral("/loads");
    const QString file =
        dir + (asConfigIni ? QStringLiteral("/config.ini") : QStringLiteral("/kesto_config.ini"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(content) != content.size() || !out.flush())
            std::abort();
        // The settings class rereads a file it has seen only when its size or modification time
        // changed; every run's file gets a time of its own.
        out.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + qint64(++runs)),
                        QFileDevice::FileModificationTime);
    }

    const bool serialized = HoldsSerializedValues(file);
    const QStringList before = shownRows();
    bool loaded = false;
    if (asConfigIni) {
        const QString started = QDir::currentPath();
        QDir::setCurrent(dir);
        loaded = window->LoadConfigFile(QStringLiteral("config.ini"));
        QDir::setCurrent(started);
    } else {
        loaded = window->LoadConfigFile(file);
    }

    FUZZ_EQUAL(loaded, !serialized);
    if (serialized) {
        FUZZ_CHECK(shownRows() == before);
    } else {
        const QSettings parsed(file, QSettings::IniFormat);
        const bool mayBeInvalid = content.contains("Invalid()");
        for (const QString &key : parsed.allKeys()) {
            // A key as listed can differ from what a look-up makes of it ("a//b" is "a/b", an
            // empty key is refused).
            if (key.isEmpty() || !parsed.contains(key))
                continue;
            const QVariant value = parsed.value(key);
            if (!plainValue(value, mayBeInvalid))
                fuzzcheck::fail(qPrintable(QStringLiteral("a serialised value was decoded: ") +
                                           key + QStringLiteral(" of type ") +
                                           QString::fromLatin1(value.typeName())),
                                __FILE__, __LINE__);
        }
        for (int row = 1; row <= RowCount; ++row) {
            const auto stored = [&](const char *column) {
                const QString key = QStringLiteral("/%1/%2").arg(row).arg(QLatin1String(column));
                return Keys::IsOn(parsed.value(key, QString()).toString());
            };
            FUZZ_EQUAL(selectCheckBoxList[row - 1]->isChecked(), stored("select"));
            FUZZ_EQUAL(hexCheckBoxList[row - 1]->isChecked(), stored("hex"));
            FUZZ_EQUAL(enterCheckBoxList[row - 1]->isChecked(), stored("enter"));
        }
    }

    return 0;
}
