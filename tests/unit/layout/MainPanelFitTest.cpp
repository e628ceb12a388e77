// The main panel in each of the five languages: every text fits its control,
// the instrument controls' column holds together without overlaps, the strip
// below the graph stays off the plot area, and every widget has a name a
// screen reader can read.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
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

#include "app/LanguageChange.h"
#include "catalogue/MessageCatalogue.h"
#include "display/MainPanelLayout.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kColumnWidth = 268;  // the marker column without cursor readouts
const char* const kLanguageNames[kLanguageCount] = {"English", "French", "German", "Spanish", "Italian"};

// Placed beside the graph at run time, not part of the column.
const std::set<QString> kBesideTheGraph = {"TraceGraph", "Ch1PositionMarker", "Ch1PositionLabel",
                                           "Ch2PositionMarker", "Ch2PositionLabel"};

// The room a widget's text has, and the text's width in it; both 0 without text.
struct TextRoom {
  int needed = 0, available = 0;
};

TextRoom LabelRoom(const QLabel& label) {
  if (label.text().isEmpty()) return {};
  return {label.fontMetrics().boundingRect(QRect(), Qt::AlignLeft, label.text()).width(),
          label.contentsRect().width()};
}

TextRoom ButtonRoom(const QPushButton& button) {
  if (button.text().isEmpty()) return {};
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  const QRect contents = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
  return {button.fontMetrics().horizontalAdvance(button.text()), contents.width()};
}

TextRoom RingRoom(const QComboBox& ring) {
  QStyleOptionComboBox option;
  option.initFrom(&ring);
  option.editable = false;
  const QRect field =
      ring.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &ring);
  int widest = 0;
  for (int item = 0; item < ring.count(); ++item)
    widest = std::max(widest, ring.fontMetrics().horizontalAdvance(ring.itemText(item)));
  return {widest, field.width()};
}

TextRoom NumericRoom(const QDoubleSpinBox& numeric) {
  QStyleOptionSpinBox option;
  option.initFrom(&numeric);
  option.subControls = QStyle::SC_All;
  option.buttonSymbols = numeric.buttonSymbols();
  option.frame = numeric.hasFrame();
  const QRect field =
      numeric.style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, &numeric);
  const int widest = std::max(numeric.fontMetrics().horizontalAdvance(numeric.textFromValue(numeric.minimum())),
                              numeric.fontMetrics().horizontalAdvance(numeric.textFromValue(numeric.maximum())));
  return {widest, field.width()};
}

TextRoom RoomOf(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return LabelRoom(*label);
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) return ButtonRoom(*button);
  if (const auto* ring = qobject_cast<const QComboBox*>(&widget)) return RingRoom(*ring);
  if (const auto* numeric = qobject_cast<const QDoubleSpinBox*>(&widget)) return NumericRoom(*numeric);
  return {};
}

// What the accessibility bridge tells a screen reader the widget is called.
QString SpokenName(QWidget* widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

class MainPanelFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel_ = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
    ASSERT_GT(panel_, 0);
    SetPanelSize(panel_, kMinimumPanelHeight, kMinimumPanelWidth);
    DisplayPanel(panel_);
  }
  void TearDown() override {
    DiscardPanel(panel_);
    ProcessDrawEvents();
    SetCurrentLanguage(kEnglish);
  }

  // The panel's client area, relabelled in `language`.
  QWidget* ShowIn(int language) {
    SetCurrentLanguage(language);
    RelabelMainPanel(panel_);
    ProcessDrawEvents();
    for (QWidget* widget : QApplication::allWidgets())
      if (widget->objectName() == "MainPanelClient" && widget->isVisible()) return widget;
    return nullptr;
  }

  static std::vector<QWidget*> Shown(QWidget* client) {
    std::vector<QWidget*> shown;
    for (QWidget* widget : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      if (widget->isVisibleTo(client)) shown.push_back(widget);
    return shown;
  }

  static void ExpectTextFits(const QWidget& widget) {
    const TextRoom room = RoomOf(widget);
    EXPECT_LE(room.needed, room.available) << widget.objectName().toStdString() << " cuts its text";
  }

  int panel_ = 0;
};

TEST_F(MainPanelFitTest, ColumnTextsFitAndNothingOverlaps) {
  for (int language = 0; language < kLanguageCount; ++language) {
    SCOPED_TRACE(kLanguageNames[language]);
    QWidget* client = ShowIn(language);
    ASSERT_NE(client, nullptr);
    std::vector<QWidget*> column;
    for (QWidget* widget : Shown(client))
      if (widget->geometry().left() < kColumnWidth && kBesideTheGraph.count(widget->objectName()) == 0)
        column.push_back(widget);
    ASSERT_GT(column.size(), 30u);
    const QRect room(0, 0, kColumnWidth, kMinimumPanelHeight);
    for (QWidget* widget : column) {
      EXPECT_TRUE(room.contains(widget->geometry())) << widget->objectName().toStdString() << " leaves the column";
      ExpectTextFits(*widget);
    }
    for (std::size_t a = 0; a < column.size(); ++a)
      for (std::size_t b = a + 1; b < column.size(); ++b)
        EXPECT_FALSE(column[a]->geometry().intersects(column[b]->geometry()))
            << column[a]->objectName().toStdString() << " overlaps " << column[b]->objectName().toStdString();
  }
}

// The texts below the graph with their widest contents, at the smallest panel:
// each fits, none overlaps another or the plot area's last line.
TEST_F(MainPanelFitTest, StripBelowTheGraphFitsAtTheSmallestSize) {
  Layout.MarkerColumn = kColumnWidth;
  LayOutMainPanel(panel_);
  int graphTop = 0, plotTop = 0, plotHeight = 0;
  GetCtrlAttribute(panel_, MainPanel::TraceGraph, ATTR_TOP, &graphTop);
  GetCtrlAttribute(panel_, MainPanel::TraceGraph, ATTR_PLOT_AREA_TOP, &plotTop);
  GetCtrlAttribute(panel_, MainPanel::TraceGraph, ATTR_PLOT_AREA_HEIGHT, &plotHeight);
  const int belowPlot = graphTop + plotTop + plotHeight;
  SetCtrlVal(panel_, MainPanel::TimebaseText, "50.0\xB5s/div");  // a zoomed timebase, the widest
  SetCtrlVal(panel_, MainPanel::Ref1LabelText, "REF1: 500\xB5s, 500mV");
  SetCtrlVal(panel_, MainPanel::Ref2LabelText, "REF2: 500\xB5s, 500mV");
  for (int control : {MainPanel::Ref1LabelText, MainPanel::Ref2LabelText, MainPanel::PersistenceIcon})
    SetCtrlAttribute(panel_, control, ATTR_VISIBLE, 1);
  const std::vector<QString> strip = {"TimebaseText", "AcqStateText", "AcquisitionLed", "ZoomOnButton",
                                      "PersistenceIcon", "Ref1LabelText", "Ref2LabelText"};
  for (int language = 0; language < kLanguageCount; ++language) {
    SCOPED_TRACE(kLanguageNames[language]);
    QWidget* client = ShowIn(language);
    ASSERT_NE(client, nullptr);
    for (int row = 0; row < kAcqStateRows; ++row) {
      SetCtrlVal(panel_, MainPanel::AcqStateText, CatalogueRow(MsgTable::AcqStateTexts, row, language));
      ProcessDrawEvents();
      const auto* state = client->findChild<QLabel*>("AcqStateText");
      ASSERT_NE(state, nullptr);
      ExpectTextFits(*state);
      // The status words are capitals: their ink must be within the short box.
      EXPECT_LE(state->fontMetrics().tightBoundingRect(state->text()).height(), state->height()) << row;
    }
    std::vector<QWidget*> items;
    for (const QString& name : strip) {
      QWidget* item = client->findChild<QWidget*>(name);
      ASSERT_NE(item, nullptr) << name.toStdString();
      items.push_back(item);
      ExpectTextFits(*item);
      EXPECT_GE(item->geometry().top(), belowPlot) << name.toStdString() << " covers the plot area";
      EXPECT_LE(item->geometry().bottom(), kMinimumPanelHeight - 1) << name.toStdString();
    }
    for (std::size_t a = 0; a < items.size(); ++a)
      for (std::size_t b = a + 1; b < items.size(); ++b)
        EXPECT_FALSE(items[a]->geometry().intersects(items[b]->geometry()))
            << strip[a].toStdString() << " overlaps " << strip[b].toStdString();
  }
}

// Screen readers read every widget by a name in the current language (a ring's
// spoken name on Linux is its value; its own name goes with it as a relation).
TEST_F(MainPanelFitTest, EveryWidgetHasANameThatFollowsTheLanguage) {
  for (int language = 0; language < kLanguageCount; ++language) {
    SCOPED_TRACE(kLanguageNames[language]);
    QWidget* client = ShowIn(language);
    ASSERT_NE(client, nullptr);
    for (QWidget* widget : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (!widget->isVisibleTo(client)) continue;
      EXPECT_FALSE(widget->objectName().isEmpty()) << widget->metaObject()->className();
      EXPECT_FALSE(SpokenName(widget).isEmpty()) << widget->objectName().toStdString();
    }
    const struct {
      const char* widget;
      std::string name;
    } named[] = {
        {"Ch2SensitivityRing", FormatCatalogue(kChannelTitleFormat, Msg::Sensitivity, 2)},
        {"Ch1OffsetInput2", FormatCatalogue(kChannelTitleFormat, Msg::Position, 1)},
        {"TimebaseRing", CatalogueText(Msg::TimeBase)},
        {"FallingSlopeButton", CatalogueText(Msg::FallingSlope)},
        {"TriggerSourceRing", CatalogueText(Msg::Source)},
        {"TriggerCaption", CatalogueText(Msg::Trigger)},
    };
    for (const auto& entry : named) {
      QWidget* widget = client->findChild<QWidget*>(entry.widget);
      ASSERT_NE(widget, nullptr) << entry.widget;
      EXPECT_EQ(widget->accessibleName(), QString::fromLatin1(entry.name.c_str())) << entry.widget;
    }
  }
}

}  // namespace
