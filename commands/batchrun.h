#pragma once

#include <QString>
#include <QtGlobal>

// The wait in milliseconds that a delay or interval text asks for: its decimal value; a text
// that is not a number or is negative means no wait.
quint32 WaitLength(const QString &delayText);

// The run button's progress caption while pass `pass` (counted from 1) sends row `row`.
QString RunCaption(int pass, int row);

// Waits ms milliseconds while the window keeps handling events; ends at once when the batch run
// is stopped (isBatchRunning cleared). A wait of 0 ms returns at once without handling events.
void StoppableDelay(quint32 ms);
