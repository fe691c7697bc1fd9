#pragma once

#include <QString>

// Style sheets shared by the form and by the slots that switch a control's look at run time.
namespace Styles {
QString titleButton();
QString combo();
QString openButtonClosed();
QString openButtonOpen();
QString blueButton();
QString rowButton();
QString stopButton();
QString pathButton();
QString foldButton();
QString tabs();
QString pinOn();
QString pinOff();
QString logRecording();
} // namespace Styles
