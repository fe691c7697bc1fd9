#pragma once

#include <QtGlobal>

// Waits ms milliseconds while the event loop keeps handling events of all kinds. The thread
// sleeps until the next event or the deadline instead of polling the clock. Returns early as soon
// as *keepGoing is false (checked before every round of events); keepGoing may be null. A wait of
// 0 ms or less returns at once without handling any events.
void WaitHandlingEvents(qint64 ms, const bool *keepGoing = nullptr);
