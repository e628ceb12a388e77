// Rings and numerics drawn as dials, and the edge pictures of slope buttons.
#pragma once

#include <QDial>
#include <QIcon>

#include "platform/ui/Model.h"

namespace uiqt {

// Dial steps of a knob: a ring's item indexes, or a numeric's range in increments.
int KnobSteps(const uimodel::Control& control);
int KnobStep(const uimodel::Control& control);
double KnobPosition(const uimodel::Control& control, int step);

QDial* MakeKnob(QWidget* client);
// Reports the dial's moves to the model for as long as `context` lives:
// positions while it is dragged are value changes, the release commits; a
// step by key or wheel commits at once. `shown` is the control as last shown.
void ConnectKnob(QDial& dial, int panel, int control, const uimodel::Control& shown, QObject& context);
void ShowKnob(QDial& dial, const uimodel::Control& control);

// A rising or falling edge in `colour`, sized for a button of `size`; a null
// icon for other styles.
QIcon EdgeIcon(uimodel::ControlStyle style, QColor colour, QSize size);

}  // namespace uiqt
