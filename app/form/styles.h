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
// The bottom bar's line toggles and break button, lit while checked.
QString LineButton();
// The bottom bar's modem-line indicators: asserted, not asserted (or no port), not reported.
QString LineIndicatorLit();
QString LineIndicatorDim();
QString LineIndicatorUnknown();
} // namespace Styles
