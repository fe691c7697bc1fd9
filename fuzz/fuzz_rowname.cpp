// libFuzzer target: RowIndexFromName on any object name.
//
// The input is the name as UTF-8. Checks:
// - the result is what the toolkit's base-10 conversion makes of the text after the last "_"
//   of the name, and 0 when that text holds no decimal digit at all;
// - a tail of 1 to 9 ASCII digits gives its value;
// - any name followed by "_" and a row number gives that row back, for every number an int
//   holds, and the row's page (PageOfRow) is 0..5 for the 150 rows.

#include "check.h"

#include "app/counts.h"
#include "commands/rowname.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString name =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const int row = RowIndexFromName(name);

    const QString tail = name.mid(name.lastIndexOf(QLatin1Char('_')) + 1);
    FUZZ_EQUAL(row, tail.toInt());
    bool anyDigit = false;
    bool allDigits = !tail.isEmpty();
    for (const QChar c : tail) {
        const bool digit = c.unicode() >= '0' && c.unicode() <= '9';
        anyDigit = anyDigit || c.isDigit();
        allDigits = allDigits && digit;
    }
    if (!anyDigit)
        FUZZ_EQUAL(row, 0);
    if (allDigits && tail.size() <= 9) {
        int value = 0;
        for (const QChar c : tail)
            value = value * 10 + (c.unicode() - '0');
        FUZZ_EQUAL(row, value);
    }

    // The name's own tail, taken as a number (4 bytes from the start when there are enough).
    int number = 0;
    if (size >= sizeof number)
        std::memcpy(&number, data, sizeof number);
    FUZZ_EQUAL(RowIndexFromName(name + QLatin1Char('_') + QString::number(number)), number);
    const int listed = 1 + int((unsigned(number) % unsigned(RowCount)));
    FUZZ_EQUAL(RowIndexFromName(name + QLatin1Char('_') + QString::number(listed)), listed);
    FUZZ_CHECK(PageOfRow(listed) >= 0 && PageOfRow(listed) < PageCount);
    FUZZ_EQUAL(PageOfRow(listed), (listed - 1) / 25);
    return 0;
}
