#pragma once

#include <QString>

// Style sheets shared by the form and by the slots that switch a control's look at run time.
namespace Styles {
QString TitleButton();
QString Combo();
QString OpenButtonClosed();
QString OpenButtonOpen();
QString BlueButton();
QString RowButton();
QString StopButton();
QString PathButton();
QString FoldButton();
QString Tabs();
QString PinOn();
QString PinOff();
QString LogRecording();
} // namespace Styles
