#pragma once

#include <QString>

// The program's refusal box: modal, no parent window, the warning title ("告警"), one OK button.
// `details`, when given, is the box's informative text below the two sentences.
void ShowWarning(const QString &text, const QString &details = QString());
