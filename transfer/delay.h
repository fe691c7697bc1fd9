#pragma once

#include <QtGlobal>

// Waits ms milliseconds while the event loop keeps handling events of all kinds. It sleeps between
// events, so a paced transfer costs next to no processor time while it waits.
void Delay(qint64 ms);
