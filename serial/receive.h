#pragma once

// Drops a UTF-8 sequence held back from the last received chunk (the console was cleared or the
// port closed, so its continuation will not come).
void ResetReceiveCarry();
