// A panel on screen: a window (or, for a child panel, an area inside its
// parent) whose client area holds the controls at their pixel positions.
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

#include "platform/ui/Model.h"
#include "platform/ui/qt/ControlViews.h"

namespace uiqt {

class PanelWindow : public QWidget {
 public:
  // A top-level window when `parentClient` is null.
  PanelWindow(int handle, QWidget* parentClient);
  ~PanelWindow() override;

  void ApplyPanel(const uimodel::Panel& panel);
  // Creates, updates or (with nullptr) removes the control's widget.
  void ApplyControl(int id, const uimodel::Control* control);
  void ApplyMenuBar(const uimodel::MenuBar* bar);
  void FocusControl(int id);
  // Chains the controls' keyboard focus in the panel's order once new ones
  // have come (Qt's own order would be that of their creation).
  void SettleTabOrder();

  int Handle() const { return handle_; }
  QWidget* Client() const { return client_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  int MenuBarHeight() const;
  void PlaceParts();
  void FloatAboveActiveWindow(bool floating);
  void AddMenuItems(QWidget* menu, const uimodel::MenuBar& bar, const std::vector<int>& ids);

  int handle_;
  bool topLevel_;
  QWidget* client_;
  QMenuBar* menuBar_ = nullptr;
  std::map<int, std::unique_ptr<ControlView>> controls_;
  int shownHeight_ = -1, shownWidth_ = -1, shownTop_ = 0, shownLeft_ = 0;
  bool applying_ = false;
  bool popup_ = false;
  bool tabOrderStale_ = false;
};

}  // namespace uiqt
