// The widget of one control: made from the model's state, brought up to date
// from it, and turning the user's input into the model's user actions.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "platform/ui/Model.h"

namespace uiqt {

class ControlView : public QObject {
 public:
  ControlView(int panel, const uimodel::Control& control, QWidget* client);
  ~ControlView() override;
  // Shows `control` (the model's current state); signals are held back meanwhile.
  void Apply(const uimodel::Control& control);
  QWidget* Body() const { return body_; }
  int Kind() const { return kind_; }
  // Place in the panel's keyboard focus order.
  int TabPosition() const { return tabPosition_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* MakeBody(const uimodel::Control& control, QWidget* client);
  void Connect();
  void ApplyCommon(const uimodel::Control& control);
  void ApplyValue(const uimodel::Control& control);
  void ApplyLabel(const uimodel::Control& control);
  void ApplyAccessibleName(const uimodel::Control& control);

  int panel_, id_, kind_, tabPosition_;
  QPointer<QWidget> body_;
  QPointer<QLabel> label_;
  uimodel::Control shown_;
  bool first_ = true;
};

}  // namespace uiqt
