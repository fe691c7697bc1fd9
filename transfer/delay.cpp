#include "transfer/delay.h"

#include "app/wait.h"

void Delay(qint64 ms)
{
    WaitHandlingEvents(ms);
}
