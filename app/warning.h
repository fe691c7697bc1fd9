#pragma once

#include <QString>

// The program's refusal box: modal, no parent window, title "告警", one OK button.
void ShowWarning(const QString &text);
