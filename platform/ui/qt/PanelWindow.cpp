#include "platform/ui/qt/PanelWindow.h"

#include <QApplication>

#include <QCloseEvent>
#include <QMenu>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/ui/Dispatch.h"
#include "platform/ui/qt/QtText.h"

namespace uiqt {

PanelWindow::PanelWindow(int handle, QWidget* parentClient)
    : QWidget(parentClient, parentClient == nullptr ? Qt::Window : Qt::Widget),
      handle_(handle),
      topLevel_(parentClient == nullptr),
      client_(new QWidget(this)) {
  client_->setAutoFillBackground(true);
  if (topLevel_) {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    menuBar_->hide();
  }
}

PanelWindow::~PanelWindow() = default;

// A tool window owned by the window that is active now: the window manager
// keeps it above that window, which may take the focus back.
void PanelWindow::FloatAboveActiveWindow(bool floating) {
  QWidget* owner = floating ? QApplication::activeWindow() : nullptr;
  if (owner == this) owner = nullptr;
  setParent(owner, (windowFlags() & ~Qt::WindowType_Mask) | (floating ? Qt::Tool : Qt::Window));
}

int PanelWindow::MenuBarHeight() const {
  return menuBar_ != nullptr && !menuBar_->isHidden() ? menuBar_->sizeHint().height() : 0;
}

void PanelWindow::PlaceParts() {
  const int bar = MenuBarHeight();
  if (menuBar_ != nullptr && bar > 0) menuBar_->setGeometry(0, 0, width(), bar);
  client_->setGeometry(0, bar, width(), height() - bar);
}

void PanelWindow::ApplyPanel(const uimodel::Panel& panel) {
  applying_ = true;
  const int bar = MenuBarHeight();
  const QString name = QString::fromStdString(panel.name);
  if (objectName() != name) {
    setObjectName(name);
    client_->setObjectName(name + QLatin1String("Client"));
  }
  const QString spoken = panel.title.empty() ? ReadableName(panel.name) : ToQt(panel.title);
  if (accessibleName() != spoken) setAccessibleName(spoken);
  QPalette palette = client_->palette();
  palette.setColor(QPalette::Window, ToColour(panel.backColor));
  client_->setPalette(palette);
  if (topLevel_) {
    setWindowTitle(ToQt(panel.title));
    // Modality and the window's kind change only while it is hidden.
    if ((panel.popup != popup_ || panel.floating != windowFlags().testFlag(Qt::Tool)) && isVisible()) hide();
    if (panel.floating != windowFlags().testFlag(Qt::Tool)) FloatAboveActiveWindow(panel.floating);
    setWindowModality(panel.popup ? Qt::ApplicationModal : Qt::NonModal);
    popup_ = panel.popup;
    const QSize size(panel.width, panel.height + bar);
    if (panel.sizable) {
      setMinimumSize(0, 0);
      setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
      setFixedSize(size);
    }
    setGeometry(panel.left, panel.top - bar, size.width(), size.height());
  } else {
    setGeometry(panel.left, panel.top, panel.width, panel.height);
  }
  shownHeight_ = panel.height;
  shownWidth_ = panel.width;
  shownTop_ = panel.top;
  shownLeft_ = panel.left;
  PlaceParts();
  setVisible(panel.visible);
  if (panel.visible && topLevel_ && panel.popup) raise();
  applying_ = false;
}

void PanelWindow::ApplyControl(int id, const uimodel::Control* control) {
  const auto found = controls_.find(id);
  if (control == nullptr) {
    if (found != controls_.end()) controls_.erase(found);
    return;
  }
  if (found == controls_.end() || found->second->Kind() != control->kind) {
    controls_[id] = std::make_unique<ControlView>(handle_, *control, client_);
    tabOrderStale_ = true;
    return;
  }
  found->second->Apply(*control);
}

void PanelWindow::SettleTabOrder() {
  if (!tabOrderStale_) return;
  tabOrderStale_ = false;
  std::vector<std::pair<int, QWidget*>> order;
  for (const auto& [id, view] : controls_)
    if (view->Body() != nullptr) order.emplace_back(view->TabPosition(), view->Body());
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1].second, order[i].second);
}

void PanelWindow::FocusControl(int id) {
  const auto found = controls_.find(id);
  if (found != controls_.end() && found->second->Body() != nullptr && !found->second->Body()->hasFocus())
    found->second->Body()->setFocus(Qt::OtherFocusReason);
}

void PanelWindow::AddMenuItems(QWidget* menu, const uimodel::MenuBar& bar, const std::vector<int>& ids) {
  for (int id : ids) {
    const auto found = bar.items.find(id);
    if (found == bar.items.end()) continue;
    const uimodel::MenuItem& item = found->second;
    if (item.separator) {
      if (auto* list = qobject_cast<QMenu*>(menu)) list->addSeparator();
      continue;
    }
    if (item.isMenu) {
      auto* sub = new QMenu(ToQt(item.text), menu);
      sub->setObjectName(QString::fromStdString(item.name));
      sub->menuAction()->setObjectName(QString::fromStdString(item.name));
      sub->setEnabled(!item.dimmed);
      AddMenuItems(sub, bar, item.children);
      menu->addAction(sub->menuAction());
      continue;
    }
    auto* action = new QAction(ToQt(item.text), menu);
    action->setObjectName(QString::fromStdString(item.name));
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    action->setEnabled(!item.dimmed);
    const int handle = bar.handle, itemId = item.id;
    const bool checked = item.checked;
    connect(action, &QAction::triggered, action, [action, handle, itemId, checked] {
      action->setChecked(checked);  // the check mark is the program's to set
      uimodel::UserChooseMenuItem(handle, itemId);
    });
    menu->addAction(action);
  }
}

void PanelWindow::ApplyMenuBar(const uimodel::MenuBar* bar) {
  if (menuBar_ == nullptr) return;
  applying_ = true;
  const int before = MenuBarHeight();
  menuBar_->clear();
  menuBar_->setObjectName(bar != nullptr ? QString::fromStdString(bar->name) : QString());
  if (bar != nullptr) AddMenuItems(menuBar_, *bar, bar->menus);
  menuBar_->setVisible(bar != nullptr);
  const int after = MenuBarHeight();
  if (after != before) {  // the client area keeps its size and place
    const QRect client = geometry();  // not x()/y(): those place the window manager's frame
    setGeometry(client.x(), client.y() - (after - before), width(), height() + after - before);
    if (maximumHeight() == minimumHeight()) setFixedSize(width(), height());
  }
  PlaceParts();
  applying_ = false;
}

void PanelWindow::closeEvent(QCloseEvent* event) {
  event->ignore();  // the panel's callback decides
  uimodel::UserClose(handle_);
}

void PanelWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceParts();
  if (applying_ || !topLevel_) return;
  const int height = client_->height(), width = client_->width();
  if (height == shownHeight_ && width == shownWidth_) return;
  shownHeight_ = height;
  shownWidth_ = width;
  uimodel::UserResize(handle_, height, width);
}

void PanelWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (applying_ || !topLevel_) return;
  // The model keeps where the client area is, as ApplyPanel places it; x() and
  // y() would be the frame's corner, and the window would creep by its title
  // bar at each start under a window manager.
  const int top = geometry().y() + MenuBarHeight(), left = geometry().x();
  if (top == shownTop_ && left == shownLeft_) return;
  shownTop_ = top;
  shownLeft_ = left;
  uimodel::ModifyPanel(handle_, [top, left](uimodel::Panel& panel) {
    panel.top = top;
    panel.left = left;
    return 0;
  });
}

}  // namespace uiqt
