// The print dialog on Qt: it reads well in every language, and Print writes
// the main panel and the XY window into a real PDF file, one per page, with
// the header and footer texts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "display/XYPanel.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "panel/PrintDialog.h"
#include "platform/ui/Frontend.h"
#include "platform/ui/UserInterface.h"
#include "support/PdfTools.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDotsPerInch = 50;
constexpr double kMargin = 1.25;

// The date as the report writes it in place of "<shortdate>".
std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64] = {};
  std::strftime(text, sizeof text, "%x", &local);
  return text;
}

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
};

Box PanelBox(int panel) {
  Box box;
  GetPanelAttribute(panel, ATTR_WIDTH, &box.width);
  GetPanelAttribute(panel, ATTR_HEIGHT, &box.height);
  return box;
}

Box ControlBox(int panel, int control) {
  Box box;
  GetCtrlAttribute(panel, control, ATTR_LEFT, &box.left);
  GetCtrlAttribute(panel, control, ATTR_TOP, &box.top);
  GetCtrlAttribute(panel, control, ATTR_WIDTH, &box.width);
  GetCtrlAttribute(panel, control, ATTR_HEIGHT, &box.height);
  return box;
}

// Where the page shows a panel's picture (fitted into the body, centred).
QRectF PictureOn(const QImage& page, const Box& panel) {
  uimodel::ReportSettings settings;
  settings.margins = {kMargin, kMargin, kMargin, kMargin};
  uimodel::PageLayout layout;
  EXPECT_EQ(uimodel::LayoutReportPage(settings, double(page.width()) / kDotsPerInch,
                                      double(page.height()) / kDotsPerInch, {0, 0, 0, 0},
                                      {uimodel::ReportImage{"", panel.width, panel.height, nullptr}}, &layout),
            0);
  const uimodel::RectInches& at = layout.images.at(0);
  return {at.x * kDotsPerInch, at.y * kDotsPerInch, at.width * kDotsPerInch, at.height * kDotsPerInch};
}

// The page's pixel at the middle of the graph's plot area.
QColor GraphCentre(const QImage& page, const QRectF& picture, const Box& panel, const Box& graph) {
  const double scale = picture.width() / panel.width;
  const QPointF centre(picture.x() + (graph.left + graph.width / 2.0) * scale,
                       picture.y() + (graph.top + graph.height / 2.0) * scale);
  return page.pixelColor(centre.toPoint());
}

double ShareNotWhite(const QImage& page, const QRectF& area) {
  int counted = 0, notWhite = 0;
  for (int y = int(area.top()) + 2; y < int(area.bottom()) - 2; y += 2)
    for (int x = int(area.left()) + 2; x < int(area.right()) - 2; x += 2, ++counted)
      if ((page.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) ++notWhite;
  return counted > 0 ? double(notWhite) / counted : 0.0;
}

bool Dark(const QColor& colour) { return colour.red() < 60 && colour.green() < 60 && colour.blue() < 60; }

class PrintDialogQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orni-print-qt-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    fs::copy_file(ORNI_PANEL_FILE, dir_ / PanelFileName, fs::copy_options::overwrite_existing);
    SetProjectDirOverride(dir_.string());
    RegisterPrintDialogCallbacks();
    ForgetPrintChoices();
    std::snprintf(TheInstrument.modelName, sizeof TheInstrument.modelName, "KVX162");
    std::snprintf(TheInstrument.serialNumber, sizeof TheInstrument.serialNumber, "0123456");
    TheInstrument.firmwareVersion = 1.07;
  }
  void TearDown() override {
    if (const int dialog = PrintDialogPanel(); dialog > 0)
      CallCtrlCallback(dialog, PrintPanel::PrintCancelButton, EVENT_COMMIT, 0, 0, nullptr);
    for (std::atomic<int>* handle : {&XYPanelOpen, &MainPanelHandle})
      if (const int panel = handle->exchange(0); panel > 0) DiscardPanel(panel);
    ProcessDrawEvents();
    TheInstrument = InstrumentSession{};
    SetCurrentLanguage(kEnglish);
    SetProjectDirOverride("");
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  static int Show(int resource) {
    const int panel = LoadPanel(0, PanelFileName, resource);
    EXPECT_GT(panel, 0);
    DisplayPanel(panel);
    return panel;
  }

  fs::path dir_;
};

TEST_F(PrintDialogQtTest, BothWindowsMakeATwoPagePdfWithHeaderAndFooter) {
  MainPanelHandle = Show(MainPanel::Resource);
  XYPanelOpen = Show(XYPanel::Resource);
  ProcessDrawEvents();
  OpenPrintDialog();
  const int dialog = PrintDialogPanel();
  ASSERT_GT(dialog, 0);
  const std::string pdf = (dir_ / "out.pdf").string();
  SetCtrlVal(dialog, PrintPanel::PrinterNameText, pdf);
  ASSERT_EQ(CallCtrlCallback(dialog, PrintPanel::PrintButton, EVENT_COMMIT, 0, 0, nullptr), 0);
  EXPECT_EQ(PrintDialogPanel(), 0);
  EXPECT_FALSE(fs::exists(dir_ / "tempBMP.bbb"));

  EXPECT_EQ(testsupport::PdfPageCount(pdf), 2);
  const std::string text = testsupport::CommandOutput("pdftotext -layout '" + pdf + "' -");
  for (const std::string& expected : {std::string("KVX162 v1.07 SN: 0123456"), std::string("ORNIKELVARINLAB v1.00"),
                                     Today(), std::string("1/2"), std::string("2/2")})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " missing from:\n" << text;
  EXPECT_LT(text.find("1/2"), text.find("2/2"));

  ASSERT_EQ(std::system(("pdftoppm -png -r " + std::to_string(kDotsPerInch) + " '" + pdf + "' '" +
                         (dir_ / "page").string() + "'").c_str()),
            0);
  struct Expected {
    int panel, graph;
  };
  const Expected windows[2] = {{MainPanelHandle.load(), MainPanel::TraceGraph}, {XYPanelOpen.load(), XYPanel::XYGraph}};
  for (int page = 1; page <= 2; ++page) {
    SCOPED_TRACE(page);
    const QImage image(QString::fromStdString((dir_ / ("page-" + std::to_string(page) + ".png")).string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), image.height());  // landscape, the first time
    const Expected& window = windows[page - 1];
    const Box panel = PanelBox(window.panel);
    const QRectF picture = PictureOn(image, panel);
    EXPECT_GT(ShareNotWhite(image, picture), 0.5);  // the window's picture, not a blank page
    EXPECT_TRUE(Dark(GraphCentre(image, picture, panel, ControlBox(window.panel, window.graph))));
    EXPECT_EQ(ShareNotWhite(image, QRectF(picture.left(), picture.bottom() + 3, picture.width(), 10)), 0.0);
  }
}

// The width a widget's text needs beside what it has.
struct TextRoom {
  int needed = 0, available = 0;
};

// A button's text without its mnemonic mark, beside the room its style gives it.
TextRoom ButtonRoom(const QAbstractButton& button, QStyle::SubElement contents) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  const QString shown = QString(button.text()).remove(QLatin1Char('&'));
  return {button.fontMetrics().horizontalAdvance(shown), button.style()->subElementRect(contents, &option, &button).width()};
}

TextRoom RoomOf(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    return {label->fontMetrics().boundingRect(QRect(), Qt::AlignLeft, label->text()).width(),
            label->contentsRect().width()};
  if (const auto* check = qobject_cast<const QCheckBox*>(&widget)) return ButtonRoom(*check, QStyle::SE_CheckBoxContents);
  if (const auto* button = qobject_cast<const QPushButton*>(&widget))
    return ButtonRoom(*button, QStyle::SE_PushButtonContents);
  return {};
}

std::vector<QWidget*> ShownWidgets(const QString& clientName) {
  std::vector<QWidget*> shown;
  for (QWidget* client : QApplication::allWidgets()) {
    if (client->objectName() != clientName || !client->isVisible()) continue;
    for (QWidget* widget : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      if (widget->isVisibleTo(client)) shown.push_back(widget);
  }
  return shown;
}

TEST_F(PrintDialogQtTest, EveryLanguageFitsTheDialogAndCancelHasItsMnemonic) {
  for (int language = 0; language < kLanguageCount; ++language) {
    SCOPED_TRACE(language);
    SetCurrentLanguage(language);
    OpenPrintDialog();
    const int dialog = PrintDialogPanel();
    ASSERT_GT(dialog, 0);
    for (const int orientation : {0, 1}) {
      SetCtrlVal(dialog, PrintPanel::OrientationSwitch, orientation);
      ProcessDrawEvents();
      const std::vector<QWidget*> shown = ShownWidgets("PrintPanelClient");
      ASSERT_GE(shown.size(), 11u);
      for (std::size_t a = 0; a < shown.size(); ++a) {
        const TextRoom room = RoomOf(*shown[a]);
        EXPECT_LE(room.needed, room.available) << shown[a]->objectName().toStdString() << " cuts its text";
        for (std::size_t b = a + 1; b < shown.size(); ++b)
          EXPECT_FALSE(shown[a]->geometry().intersects(shown[b]->geometry()))
              << shown[a]->objectName().toStdString() << " overlaps " << shown[b]->objectName().toStdString();
      }
    }
    for (QWidget* widget : ShownWidgets("PrintPanelClient")) {
      if (widget->objectName() == "PrintCancelButton") {
        EXPECT_TRUE(qobject_cast<QPushButton*>(widget)->text().startsWith(QLatin1Char('&')));
      } else if (widget->objectName() == "PrintXyCheck") {  // no XY window: dimmed, and seen to be
        EXPECT_FALSE(widget->isEnabled());
        EXPECT_NE(widget->palette().color(QPalette::Disabled, QPalette::WindowText),
                  widget->palette().color(QPalette::Active, QPalette::WindowText));
      }
    }
    CallCtrlCallback(dialog, PrintPanel::PrintCancelButton, EVENT_COMMIT, 0, 0, nullptr);
    EXPECT_EQ(PrintDialogPanel(), 0);
  }
}

}  // namespace
