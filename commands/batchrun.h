#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// The wait in milliseconds that a delay or interval text asks for: its decimal value; a text
// that is not a number or is negative means no wait.
quint32 WaitLength(const QString &delayText);

// The run button's progress caption while pass `pass` (counted from 1) sends row `row`.
QString RunCaption(int pass, int row);

// What a batch run asks and does. Each question is asked again every time the run needs the
// answer, so edits made during a run apply from the next pass (the count) or the next row
// reached (the rows).
struct BatchRunSteps
{
    // The number of passes, asked before each pass.
    std::function<int()> passCount;
    // Whether row `row` is sent: ticked, with a command text.
    std::function<bool(int row)> isSent;
    // False once the run is stopped or the port is gone; asked before each pass and after each
    // row.
    std::function<bool()> mayGoOn;
    // Sends row `row` in pass `pass` (counted from 1) and waits the row's delay.
    std::function<void(int pass, int row)> sendRow;
    // Waits the interval; follows every pass, also one that was cut short.
    std::function<void()> endPass;
};

// Runs passes over rows 1 to 150 in row order until the passes are done or the run may not go on.
void RunBatch(const BatchRunSteps &steps);
