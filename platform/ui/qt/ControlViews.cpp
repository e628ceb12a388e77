#include "platform/ui/qt/ControlViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

#include "platform/ui/Dispatch.h"
#include "platform/ui/qt/GraphView.h"
#include "platform/ui/qt/KnobView.h"
#include "platform/ui/qt/QtText.h"

namespace uiqt {

using uimodel::Control;

namespace {

constexpr int kLabelHeight = 16;
constexpr int kDimmedTextColour = 0x808080;
constexpr double kSpinLimit = 1e12;  // keeps the spin box's own arithmetic sane

// A round indicator in its on or off colour.
class LedWidget : public QWidget {
 public:
  explicit LedWidget(QWidget* parent) : QWidget(parent) {}
  void Set(QColor colour) {
    colour_ = colour;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (colour_.alpha() == 0) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour_.darker(150));
    painter.setBrush(colour_);
    painter.drawEllipse(rect().adjusted(0, 0, -1, -1));
  }

 private:
  QColor colour_;
};

// A small arrow the user drags along its axis; the model sends EVENT_DROP and EVENT_DROPPED.
class MarkerWidget : public QWidget {
 public:
  MarkerWidget(int panel, int control, QWidget* parent) : QWidget(parent), panel_(panel), control_(control) {
    setCursor(Qt::SizeVerCursor);
  }
  void Set(QColor colour, int axis) {
    colour_ = colour;
    setCursor(axis == VAL_DRAG_HORIZONTAL ? Qt::SizeHorCursor : axis == VAL_DRAG_FREE ? Qt::SizeAllCursor
                                                                                       : Qt::SizeVerCursor);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour_);
    const QRect area = rect();
    if (area.width() >= area.height())
      painter.drawPolygon(QPolygon({area.topLeft(), QPoint(area.right(), area.center().y()), area.bottomLeft()}));
    else
      painter.drawPolygon(QPolygon({area.topLeft(), area.topRight(), QPoint(area.center().x(), area.bottom())}));
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    grab_ = event->position().toPoint();
    dragging_ = true;
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (dragging_) Move(event, false);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    Move(event, true);
  }

 private:
  void Move(QMouseEvent* event, bool released) {
    QPoint target = mapToParent(event->position().toPoint()) - grab_;
    const QSize room = parentWidget()->size() - size();
    target.setX(std::clamp(target.x(), 0, std::max(0, room.width())));
    target.setY(std::clamp(target.y(), 0, std::max(0, room.height())));
    uimodel::UserMoveMarker(panel_, control_, target.y(), target.x(), released);
  }

  int panel_, control_;
  QColor colour_;
  QPoint grab_;
  bool dragging_ = false;
};

// A box, line or outline in one colour.
class DecorationWidget : public QWidget {
 public:
  explicit DecorationWidget(QWidget* parent) : QWidget(parent) {}
  void Set(QColor colour, bool outline) {
    colour_ = colour;
    outline_ = outline;
    // An outline lets what lies inside it take the mouse.
    setAttribute(Qt::WA_TransparentForMouseEvents, outline);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (!outline_) return painter.fillRect(rect(), colour_);
    painter.setPen(colour_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  QColor colour_;
  bool outline_ = false;
};

bool HasOwnLabel(int kind) {
  return kind == CTRL_COMMAND_BUTTON || kind == CTRL_TOGGLE_BUTTON || kind == CTRL_CHECK_BOX ||
         kind == CTRL_TEXT_MSG || kind == CTRL_PICTURE || kind == CTRL_DECORATION || kind == CTRL_MARKER;
}

QStringList ItemLabels(const Control& control) {
  QStringList labels;
  for (const uimodel::ListItem& item : control.items) labels << ToQt(item.label);
  return labels;
}

bool SameItems(const Control& a, const Control& b) {
  if (a.items.size() != b.items.size()) return false;
  for (std::size_t i = 0; i < a.items.size(); ++i)
    if (a.items[i].label != b.items[i].label) return false;
  return true;
}

Qt::Alignment Alignment(int justify) {
  const Qt::Alignment horizontal = justify == VAL_CENTER_JUSTIFIED  ? Qt::AlignHCenter
                                   : justify == VAL_RIGHT_JUSTIFIED ? Qt::AlignRight
                                                                    : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
}

}  // namespace

ControlView::ControlView(int panel, const Control& control, QWidget* client)
    : panel_(panel), id_(control.id), kind_(control.kind), tabPosition_(control.tabPosition) {
  body_ = MakeBody(control, client);
  body_->installEventFilter(this);
  // The layout name finds the widget (tests, UI automation); the label names it for screen readers.
  body_->setObjectName(QString::fromStdString(control.name));
  if (!HasOwnLabel(kind_)) {
    label_ = new QLabel(client);
    label_->setObjectName(QString::fromStdString(control.name) + QLatin1String("Label"));
  }
  Connect();
  Apply(control);
}

ControlView::~ControlView() {
  if (body_) body_->deleteLater();
  if (label_) label_->deleteLater();
}

QWidget* ControlView::MakeBody(const Control& control, QWidget* client) {
  if (control.style == uimodel::ControlStyle::Knob) return MakeKnob(client);
  switch (control.kind) {
    case CTRL_NUMERIC: {
      auto* spin = new QDoubleSpinBox(client);
      spin->setKeyboardTracking(false);
      return spin;
    }
    case CTRL_RING: return new QComboBox(client);
    case CTRL_TEXT_BOX: return new QPlainTextEdit(client);
    case CTRL_STRING: return new QLineEdit(client);
    case CTRL_LIST_BOX: return new QListWidget(client);
    case CTRL_BINARY_SWITCH:
    case CTRL_TOGGLE_BUTTON: {
      auto* button = new QPushButton(client);
      button->setCheckable(true);
      return button;
    }
    case CTRL_CHECK_BOX: return new QCheckBox(client);
    case CTRL_COMMAND_BUTTON: return new QPushButton(client);
    case CTRL_LED: return new LedWidget(client);
    case CTRL_DECORATION: return new DecorationWidget(client);
    case CTRL_MARKER: return new MarkerWidget(panel_, control.id, client);
    case CTRL_GRAPH: return new GraphView(panel_, control.id, client);
    default: return new QLabel(client);  // text messages and pictures
  }
}

void ControlView::Connect() {
  const int panel = panel_, id = id_;
  if (auto* dial = qobject_cast<QDial*>(body_))
    ConnectKnob(*dial, panel, id, shown_, *this);
  else if (auto* spin = qobject_cast<QDoubleSpinBox*>(body_))
    connect(spin, &QDoubleSpinBox::valueChanged, this, [panel, id](double value) {
      uimodel::UserSetNumber(panel, id, value);
    });
  else if (auto* ring = qobject_cast<QComboBox*>(body_))
    connect(ring, &QComboBox::activated, this, [panel, id](int index) { uimodel::UserSelectIndex(panel, id, index); });
  else if (auto* list = qobject_cast<QListWidget*>(body_))
    connect(list, &QListWidget::currentRowChanged, this, [panel, id](int row) {
      if (row >= 0) uimodel::UserSelectIndex(panel, id, row);
    });
  else if (auto* line = qobject_cast<QLineEdit*>(body_))
    connect(line, &QLineEdit::editingFinished, this, [this, line] {
      if (FromQt(line->text()) != shown_.text) uimodel::UserSetText(panel_, id_, FromQt(line->text()));
    });
  else if (auto* button = qobject_cast<QAbstractButton*>(body_))
    connect(button, &QAbstractButton::clicked, this, [panel, id] { uimodel::UserCommit(panel, id); });
}

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != body_) return false;
  if (event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      const QPoint at = body_->mapToParent(mouse->position().toPoint());
      uimodel::UserLeftClick(panel_, id_, at.x(), at.y());
    }
  } else if (event->type() == QEvent::FocusIn) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) uimodel::UserFocus(panel_, id_);
  } else if (event->type() == QEvent::FocusOut && kind_ == CTRL_TEXT_BOX) {
    const std::string text = FromQt(static_cast<QPlainTextEdit*>(body_.data())->toPlainText());
    if (text != shown_.text && shown_.mode != VAL_INDICATOR) uimodel::UserSetText(panel_, id_, text);
  }
  return false;
}

void ControlView::Apply(const Control& control) {
  if (!body_) return;
  const QSignalBlocker blocker(body_);
  ApplyCommon(control);
  ApplyValue(control);
  ApplyLabel(control);
  ApplyAccessibleName(control);
  shown_ = control;
  first_ = false;
}

void ControlView::ApplyCommon(const Control& control) {
  body_->setGeometry(control.left, control.top, std::max(1, control.width), std::max(1, control.height));
  body_->setVisible(control.visible);
  body_->setEnabled(!control.dimmed);
  body_->setToolTip(ToQt(control.tooltip));
  QFont font = body_->font();
  if (control.pointSize > 0) font.setPointSize(control.pointSize);
  font.setBold(control.bold);
  body_->setFont(font);
  QPalette palette = body_->palette();
  // A dimmed control's text is grey whatever its colour: readable on the
  // panels' grey, yet plainly not usable.
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(QPalette::Active, role, ToColour(control.textColor));
    palette.setColor(QPalette::Inactive, role, ToColour(control.textColor));
    palette.setColor(QPalette::Disabled, role, ToColour(kDimmedTextColour));
  }
  const bool background = control.textBackColor != VAL_TRANSPARENT && control.kind == CTRL_TEXT_MSG;
  if (background) palette.setColor(QPalette::Window, ToColour(control.textBackColor));
  body_->setAutoFillBackground(background);
  body_->setPalette(palette);
}

void ControlView::ApplyValue(const Control& control) {
  const bool indicator = control.mode == VAL_INDICATOR;
  if (auto* dial = qobject_cast<QDial*>(body_)) {
    ShowKnob(*dial, control);
  } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(body_)) {
    spin->setDecimals(std::clamp(control.precision, 0, 15));
    spin->setRange(std::max(control.min, -kSpinLimit), std::min(control.max, kSpinLimit));
    spin->setSingleStep(control.increment);
    spin->setValue(control.number);
    spin->setReadOnly(indicator);
    spin->setButtonSymbols(indicator ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows);
  } else if (auto* ring = qobject_cast<QComboBox*>(body_)) {
    if (first_ || !SameItems(control, shown_)) {
      ring->clear();
      ring->addItems(ItemLabels(control));
    }
    ring->setCurrentIndex(control.index);
  } else if (auto* list = qobject_cast<QListWidget*>(body_)) {
    if (first_ || !SameItems(control, shown_)) {
      list->clear();
      list->addItems(ItemLabels(control));
    }
    list->setCurrentRow(control.index);
  } else if (auto* line = qobject_cast<QLineEdit*>(body_)) {
    if (line->text() != ToQt(control.text)) line->setText(ToQt(control.text));
    line->setReadOnly(indicator);
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(body_)) {
    if (first_ || control.text != shown_.text) box->setPlainText(ToQt(control.text));
    box->setReadOnly(indicator);
  } else if (auto* check = qobject_cast<QCheckBox*>(body_)) {
    check->setText(ToQtMnemonic(control.label));
    check->setChecked(control.number != 0.0);
  } else if (auto* button = qobject_cast<QPushButton*>(body_)) {
    const bool on = control.number != 0.0;
    button->setChecked(on);
    const std::string& text = control.kind == CTRL_BINARY_SWITCH ? (on ? control.onText : control.offText)
                                                                 : control.label;
    const QSize iconSize(std::max(1, control.width - 6), std::max(1, control.height - 6));
    const QIcon icon = !control.imageFile.empty() ? QIcon(QString::fromLocal8Bit(control.imageFile.c_str()))
                       : EdgeIcon(control.style, ToColour(control.textColor), iconSize);
    button->setIcon(icon);
    button->setIconSize(iconSize);
    // A picture button without its picture shows the start of its description instead.
    button->setText(!icon.isNull() ? QString() : text.empty() ? ToQt(control.tooltip).left(3) : ToQtMnemonic(text));
  } else if (auto* led = dynamic_cast<LedWidget*>(body_.data())) {
    led->Set(ToColour(control.number != 0.0 ? control.onColor : control.offColor));
  } else if (auto* marker = dynamic_cast<MarkerWidget*>(body_.data())) {
    marker->Set(ToColour(control.frameColor), control.dragAxis);
  } else if (auto* decoration = dynamic_cast<DecorationWidget*>(body_.data())) {
    decoration->Set(ToColour(control.frameColor), control.style == uimodel::ControlStyle::Frame);
  } else if (auto* graph = dynamic_cast<GraphView*>(body_.data())) {
    graph->Show(control);
  } else if (auto* text = qobject_cast<QLabel*>(body_)) {
    if (control.kind == CTRL_PICTURE) {
      // A picture whose file is missing (or not named yet) shows nothing.
      const QPixmap picture(QString::fromLocal8Bit(control.imageFile.c_str()));
      if (picture.isNull()) text->clear();
      else text->setPixmap(picture.scaled(body_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
      text->setText(ToQt(control.text));
      text->setTextFormat(Qt::PlainText);
      text->setAlignment(Alignment(control.justify));
    }
  }
}

void ControlView::ApplyAccessibleName(const Control& control) {
  // What a sighted user reads as the control's name: its label, else its tooltip;
  // a text message without either is named by what it says.
  QString name = WithoutMnemonic(control.label);
  if (name.isEmpty()) name = ToQt(control.tooltip);
  if (name.isEmpty() && control.kind == CTRL_TEXT_MSG) name = ToQt(control.text);
  if (name.isEmpty()) name = ReadableName(control.name);
  if (body_->accessibleName() != name) body_->setAccessibleName(name);
  const QString description = control.label.empty() ? QString() : ToQt(control.tooltip);
  if (body_->accessibleDescription() != description) body_->setAccessibleDescription(description);
}

void ControlView::ApplyLabel(const Control& control) {
  if (!label_) return;
  const bool shown = control.visible && control.labelVisible && !control.label.empty();
  label_->setText(ToQtMnemonic(control.label));  // hidden, it still names its control to screen readers
  label_->setBuddy(control.label.empty() ? nullptr : body_.data());
  label_->setVisible(shown);
  if (!shown) return;
  label_->setEnabled(!control.dimmed);
  // As wide as the text needs, so that no language's label is cut.
  const int width = std::max(control.width, label_->fontMetrics().horizontalAdvance(label_->text()) + 2);
  label_->setGeometry(control.left, control.top - kLabelHeight, width, kLabelHeight);
}

}  // namespace uiqt
