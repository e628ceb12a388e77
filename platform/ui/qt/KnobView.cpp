#include "platform/ui/qt/KnobView.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

#include "platform/ui/KnobInput.h"

namespace uiqt {

using uimodel::Control;
using uimodel::ControlStyle;

namespace {

// Beyond this many steps a numeric's range cannot be turned through usefully.
constexpr double kMostSteps = 100000;

bool TurnsThroughItems(const Control& control) { return uimodel::HoldsList(control); }

bool HasStepRange(const Control& control) {
  return control.increment > 0 && std::isfinite(control.min) && std::isfinite(control.max) &&
         (control.max - control.min) / control.increment <= kMostSteps;
}

}  // namespace

int KnobSteps(const Control& control) {
  if (TurnsThroughItems(control)) return std::max(0, static_cast<int>(control.items.size()) - 1);
  if (!HasStepRange(control) || control.max <= control.min) return 0;
  return static_cast<int>(std::lround((control.max - control.min) / control.increment));
}

int KnobStep(const Control& control) {
  if (TurnsThroughItems(control)) return std::max(0, control.index);
  if (!HasStepRange(control)) return 0;
  return std::clamp(static_cast<int>(std::lround((control.number - control.min) / control.increment)), 0,
                    KnobSteps(control));
}

double KnobPosition(const Control& control, int step) {
  if (TurnsThroughItems(control)) return step;
  return std::min(control.max, control.min + step * control.increment);
}

QDial* MakeKnob(QWidget* client) {
  auto* dial = new QDial(client);
  dial->setNotchesVisible(true);
  dial->setWrapping(false);
  dial->setFocusPolicy(Qt::StrongFocus);
  return dial;
}

void ConnectKnob(QDial& dial, int panel, int control, const Control& shown, QObject& context) {
  QDial* knob = &dial;
  const Control* last = &shown;
  QObject::connect(knob, &QDial::valueChanged, &context, [panel, control, last, knob](int step) {
    uimodel::UserTurnKnob(panel, control, KnobPosition(*last, step), !knob->isSliderDown());
  });
  QObject::connect(knob, &QDial::sliderReleased, &context, [panel, control, last, knob] {
    uimodel::UserTurnKnob(panel, control, KnobPosition(*last, knob->value()), true);
  });
}

void ShowKnob(QDial& dial, const Control& control) {
  const int steps = KnobSteps(control);
  dial.setRange(0, steps);
  dial.setPageStep(std::max(1, steps / 10));
  dial.setValue(KnobStep(control));
  dial.setEnabled(!control.dimmed && control.mode != VAL_INDICATOR && steps > 0);
}

QIcon EdgeIcon(ControlStyle style, QColor colour, QSize size) {
  if (style != ControlStyle::RisingEdge && style != ControlStyle::FallingEdge) return QIcon();
  const int width = std::max(8, size.width()), height = std::max(8, size.height());
  QPixmap picture(width, height);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const double low = height - 2.5, high = 2.5, middle = width / 2.0;
  const double before = style == ControlStyle::RisingEdge ? low : high;
  const double after = style == ControlStyle::RisingEdge ? high : low;
  painter.drawPolyline(QPolygonF({QPointF(1.5, before), QPointF(middle - 1.5, before), QPointF(middle + 1.5, after),
                                  QPointF(width - 1.5, after)}));
  // The arrowhead on the edge says which way it goes.
  const double tip = style == ControlStyle::RisingEdge ? height * 0.35 : height * 0.65;
  const double back = style == ControlStyle::RisingEdge ? tip + 3.5 : tip - 3.5;
  painter.drawPolyline(QPolygonF({QPointF(middle - 3, back), QPointF(middle, tip), QPointF(middle + 3, back)}));
  return QIcon(picture);
}

}  // namespace uiqt
