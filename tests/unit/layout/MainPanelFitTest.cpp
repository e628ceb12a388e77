// The main panel in each of the five languages: every text fits its control,
// the instrument controls' column holds together without overlaps, the strip
// below the graph stays off the plot area, and every widget has a name a
// screen reader can read.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <set>
#include <string>
#include <vector>

#include "panel/MainPanelLabels.h"
#include "catalogue/MessageCatalogue.h"
#include "display/MainPanelLayout.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kColumnWidth = 268;  // the marker column without cursor readouts
const char* const kLanguageNames[kLanguageCount] = {"English", "French", "German", "Spanish", "Italian"};
// Placed beside the graph at run time, not part of the column.
const std::set<QString> kBesideTheGraph = {"TraceGraph", "Ch1PositionMarker", "Ch1PositionLabel", "Ch2PositionMarker",
                                           "Ch2PositionLabel"};

std::string NameOf(const QWidget* widget) { return widget->objectName().toStdString(); }

// The width a widget's text needs and the width it has.
struct TextRoom {
  int needed = 0, available = 0;
};

TextRoom RingRoom(const QComboBox& ring) {
  QStyleOptionComboBox option;
  option.initFrom(&ring);
  option.editable = false;
  int widest = 0;
  for (int item = 0; item < ring.count(); ++item)
    widest = std::max(widest, ring.fontMetrics().horizontalAdvance(ring.itemText(item)));
  return {widest,
          ring.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &ring).width()};
}

TextRoom NumericRoom(const QDoubleSpinBox& numeric) {
  QStyleOptionSpinBox option;
  option.initFrom(&numeric);
  option.subControls = QStyle::SC_All;
  option.buttonSymbols = numeric.buttonSymbols();
  option.frame = numeric.hasFrame();
  const QFontMetrics metrics = numeric.fontMetrics();
  return {std::max(metrics.horizontalAdvance(numeric.textFromValue(numeric.minimum())),
                   metrics.horizontalAdvance(numeric.textFromValue(numeric.maximum()))),
          numeric.style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, &numeric).width()};
}

TextRoom RoomOf(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    return {label->fontMetrics().boundingRect(QRect(), Qt::AlignLeft, label->text()).width(),
            label->contentsRect().width()};
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return {button->fontMetrics().horizontalAdvance(button->text()),
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width()};
  }
  if (const auto* ring = qobject_cast<const QComboBox*>(&widget)) return RingRoom(*ring);
  if (const auto* numeric = qobject_cast<const QDoubleSpinBox*>(&widget)) return NumericRoom(*numeric);
  return {};
}

void ExpectTextFits(const QWidget& widget) {
  const TextRoom room = RoomOf(widget);
  EXPECT_LE(room.needed, room.available) << NameOf(&widget) << " cuts its text";
}

void ExpectFitAndApart(const std::vector<QWidget*>& widgets) {
  for (std::size_t a = 0; a < widgets.size(); ++a) {
    ExpectTextFits(*widgets[a]);
    for (std::size_t b = a + 1; b < widgets.size(); ++b)
      EXPECT_FALSE(widgets[a]->geometry().intersects(widgets[b]->geometry()))
          << NameOf(widgets[a]) << " overlaps " << NameOf(widgets[b]);
  }
}

// The panel at its smallest size in the language of the test's parameter.
class MainPanelFitTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    panel_ = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
    ASSERT_GT(panel_, 0);
    SetPanelSize(panel_, kMinimumPanelHeight, kMinimumPanelWidth);
    DisplayPanel(panel_);
    SetCurrentLanguage(GetParam());
  }
  void TearDown() override {
    DiscardPanel(panel_);
    ProcessDrawEvents();
    SetCurrentLanguage(kEnglish);
  }

  // The visible widgets of the panel's client area, relabelled.
  std::vector<QWidget*> Shown() {
    RelabelMainPanel(panel_);
    ProcessDrawEvents();
    for (QWidget* client : QApplication::allWidgets()) {
      if (client->objectName() != "MainPanelClient" || !client->isVisible()) continue;
      std::vector<QWidget*> shown;
      for (QWidget* widget : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (widget->isVisibleTo(client)) shown.push_back(widget);
      return shown;
    }
    return {};
  }
  static QWidget* Find(const std::vector<QWidget*>& shown, const QString& name) {
    for (QWidget* widget : shown)
      if (widget->objectName() == name) return widget;
    return nullptr;
  }

  int panel_ = 0;
};

TEST_P(MainPanelFitTest, ColumnTextsFitAndNothingOverlaps) {
  std::vector<QWidget*> column;
  for (QWidget* widget : Shown())
    if (widget->geometry().left() < kColumnWidth && kBesideTheGraph.count(widget->objectName()) == 0)
      column.push_back(widget);
  ASSERT_GT(column.size(), 30u);
  const QRect room(0, 0, kColumnWidth, kMinimumPanelHeight);
  for (QWidget* widget : column)
    EXPECT_TRUE(room.contains(widget->geometry())) << NameOf(widget) << " leaves the column";
  ExpectFitAndApart(column);
}

// The texts below the graph with their widest contents: each fits, none
// overlaps another or the plot area's last line.
TEST_P(MainPanelFitTest, StripBelowTheGraphFits) {
  Layout.MarkerColumn = kColumnWidth;
  LayOutMainPanel(panel_);
  int graphTop = 0, plotTop = 0, plotHeight = 0;
  GetCtrlAttribute(panel_, MainPanel::TraceGraph, ATTR_TOP, &graphTop);
  GetCtrlAttribute(panel_, MainPanel::TraceGraph, ATTR_PLOT_AREA_TOP, &plotTop);
  GetCtrlAttribute(panel_, MainPanel::TraceGraph, ATTR_PLOT_AREA_HEIGHT, &plotHeight);
  SetCtrlVal(panel_, MainPanel::TimebaseText, "50.0\xB5s/div");  // a zoomed timebase, the widest
  SetCtrlVal(panel_, MainPanel::Ref1LabelText, "REF1: 500\xB5s, 500mV");
  SetCtrlVal(panel_, MainPanel::Ref2LabelText, "REF2: 500\xB5s, 500mV");
  for (int control : {MainPanel::Ref1LabelText, MainPanel::Ref2LabelText, MainPanel::PersistenceIcon})
    SetCtrlAttribute(panel_, control, ATTR_VISIBLE, 1);
  const std::vector<QWidget*> shown = Shown();
  std::vector<QWidget*> strip;
  for (const char* name : {"TimebaseText", "AcqStateText", "AcquisitionLed", "ZoomOnButton", "PersistenceIcon",
                           "Ref1LabelText", "Ref2LabelText"}) {
    strip.push_back(Find(shown, name));
    ASSERT_NE(strip.back(), nullptr) << name;
    EXPECT_GE(strip.back()->geometry().top(), graphTop + plotTop + plotHeight) << name << " covers the plot";
    EXPECT_LE(strip.back()->geometry().bottom(), kMinimumPanelHeight - 1) << name;
  }
  const auto* state = qobject_cast<const QLabel*>(strip[1]);
  ASSERT_NE(state, nullptr);
  for (int row = 0; row < kAcqStateRows; ++row) {
    SetCtrlVal(panel_, MainPanel::AcqStateText, CatalogueRow(MsgTable::AcqStateTexts, row, GetParam()));
    ProcessDrawEvents();
    ExpectTextFits(*state);
    // The status words are capitals: their ink must be within the short box.
    EXPECT_LE(state->fontMetrics().tightBoundingRect(state->text()).height(), state->height()) << row;
  }
  ExpectFitAndApart(strip);
}

// Screen readers read every widget by a name in the current language (a ring's
// spoken name on Linux is its value; its own name goes with it as a relation).
TEST_P(MainPanelFitTest, EveryWidgetHasANameThatFollowsTheLanguage) {
  const std::vector<QWidget*> shown = Shown();
  ASSERT_FALSE(shown.empty());
  for (QWidget* widget : shown) {
    EXPECT_FALSE(widget->objectName().isEmpty()) << widget->metaObject()->className();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    EXPECT_FALSE(accessible == nullptr || accessible->text(QAccessible::Name).isEmpty()) << NameOf(widget);
  }
  for (const auto& [widget, name] :
       {std::pair{"Ch2SensitivityRing", FormatCatalogue(kChannelTitleFormat, Msg::Sensitivity, 2)},
        std::pair{"Ch1OffsetInput2", FormatCatalogue(kChannelTitleFormat, Msg::Position, 1)},
        std::pair{"TimebaseRing", std::string(CatalogueText(Msg::TimeBase))},
        std::pair{"FallingSlopeButton", std::string(CatalogueText(Msg::FallingSlope))},
        std::pair{"TriggerSourceRing", std::string(CatalogueText(Msg::Source))},
        std::pair{"TriggerCaption", std::string(CatalogueText(Msg::Trigger))}}) {
    const QWidget* found = Find(shown, widget);
    ASSERT_NE(found, nullptr) << widget;
    EXPECT_EQ(found->accessibleName(), QString::fromLatin1(name.c_str())) << widget;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, MainPanelFitTest, ::testing::Range(0, kLanguageCount),
                         [](const ::testing::TestParamInfo<int>& info) { return kLanguageNames[info.param]; });

}  // namespace
