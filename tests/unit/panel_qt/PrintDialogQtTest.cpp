// The print dialog on Qt: both windows into a real PDF file, one per page, with
// header and footer; the dialog reads well in every language.
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

class PrintDialogQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_);
    fs::copy_file(ORNI_PANEL_FILE, dir_ / PanelFileName, fs::copy_options::overwrite_existing);
    SetProjectDirOverride(dir_.string());
    RegisterPrintDialogCallbacks();
    ForgetPrintChoices();
  }
  void TearDown() override {
    for (std::atomic<int>* handle : {&XYPanelOpen, &MainPanelHandle})
      if (const int panel = handle->exchange(0); panel > 0) DiscardPanel(panel);
    ProcessDrawEvents();
    TheInstrument = InstrumentSession{};
    SetCurrentLanguage(kEnglish);
    SetProjectDirOverride("");
    fs::remove_all(dir_);
  }
  static int Show(int resource) {
    const int panel = LoadPanel(0, PanelFileName, resource);
    DisplayPanel(panel);
    return panel;
  }
  static void Press(int control) { CallCtrlCallback(PrintDialogPanel(), control, EVENT_COMMIT, 0, 0, nullptr); }

  const fs::path dir_ = fs::temp_directory_path() / ("orni-print-qt-" + std::to_string(::getpid()));
};

// The page's colour at a point of the panel's picture, fitted between 1.25-inch margins.
QColor PanelPixelOnPage(const QImage& page, int panel, double x, double y) {
  int width = 0, height = 0;
  GetPanelAttribute(panel, ATTR_WIDTH, &width);
  GetPanelAttribute(panel, ATTR_HEIGHT, &height);
  uimodel::ReportSettings settings;
  settings.margins = {1.25, 1.25, 1.25, 1.25};
  uimodel::PageLayout layout;
  uimodel::LayoutReportPage(settings, double(page.width()) / kDotsPerInch, double(page.height()) / kDotsPerInch,
                            {0, 0, 0, 0}, {uimodel::ReportImage{"", width, height, nullptr}}, &layout);
  const uimodel::RectInches& at = layout.images.at(0);
  const double scale = at.width / width;
  return page.pixelColor(int((at.x + x * scale) * kDotsPerInch), int((at.y + y * scale) * kDotsPerInch));
}

// Inside a graph's plot area, off its grid lines and centre marks: black in both windows.
bool GraphIsDark(const QImage& page, int panel, int graph) {
  int left = 0, top = 0, width = 0, height = 0;
  GetCtrlAttribute(panel, graph, ATTR_LEFT, &left);
  GetCtrlAttribute(panel, graph, ATTR_TOP, &top);
  GetCtrlAttribute(panel, graph, ATTR_WIDTH, &width);
  GetCtrlAttribute(panel, graph, ATTR_HEIGHT, &height);
  const QColor colour = PanelPixelOnPage(page, panel, left + width * 0.35, top + height * 0.3);
  return colour.red() < 60 && colour.green() < 60 && colour.blue() < 60;
}

TEST_F(PrintDialogQtTest, BothWindowsMakeATwoPagePdfWithHeaderAndFooter) {
  std::snprintf(TheInstrument.modelName, sizeof TheInstrument.modelName, "KVX162");
  std::snprintf(TheInstrument.serialNumber, sizeof TheInstrument.serialNumber, "0123456");
  TheInstrument.firmwareVersion = 1.07;
  MainPanelHandle = Show(MainPanel::Resource);
  XYPanelOpen = Show(XYPanel::Resource);
  OpenPrintDialog();
  const std::string pdf = (dir_ / "out.pdf").string();
  SetCtrlVal(PrintDialogPanel(), PrintPanel::PrinterNameText, pdf);
  Press(PrintPanel::PrintButton);
  EXPECT_EQ(PrintDialogPanel(), 0);
  EXPECT_FALSE(fs::exists(dir_ / "tempBMP.bbb"));

  EXPECT_EQ(testsupport::PdfPageCount(pdf), 2);
  char today[64] = {};  // what the report writes for "<shortdate>"
  const std::time_t now = std::time(nullptr);
  std::strftime(today, sizeof today, "%x", std::localtime(&now));
  const std::string text = testsupport::CommandOutput("pdftotext -layout '" + pdf + "' -");
  for (const std::string& expected : {std::string("KVX162 v1.07 SN: 0123456"), std::string("ORNIKELVARINLAB v1.00"),
                                      std::string(today), std::string("1/2"), std::string("2/2")})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " missing from:\n" << text;

  ASSERT_EQ(std::system(("pdftoppm -png -r 50 '" + pdf + "' '" + (dir_ / "page").string() + "'").c_str()), 0);
  const int windows[2][2] = {{MainPanelHandle.load(), MainPanel::TraceGraph}, {XYPanelOpen.load(), XYPanel::XYGraph}};
  for (int page = 0; page < 2; ++page) {
    const QImage image(QString::fromStdString((dir_ / ("page-" + std::to_string(page + 1) + ".png")).string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), image.height());  // landscape, the first time
    EXPECT_TRUE(GraphIsDark(image, windows[page][0], windows[page][1])) << "page " << page + 1;
    EXPECT_EQ(PanelPixelOnPage(image, windows[page][0], 3, 3), QColor(0xC0, 0xC0, 0xC0)) << "page " << page + 1;
  }
}

// The width a widget's text needs, and the width it has.
std::pair<int, int> TextRoom(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    return {label->fontMetrics().boundingRect(QRect(), Qt::AlignLeft, label->text()).width(),
            label->contentsRect().width()};
  const auto* button = qobject_cast<const QAbstractButton*>(&widget);
  if (button == nullptr) return {0, 0};
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  const auto contents =
      qobject_cast<const QCheckBox*>(button) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
  return {button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))),
          button->style()->subElementRect(contents, &option, button).width()};
}

TEST_F(PrintDialogQtTest, EveryLanguageFitsTheDialogAndCancelHasItsMnemonic) {
  for (int language = 0; language < kLanguageCount; ++language) {
    SetCurrentLanguage(language);
    OpenPrintDialog();
    for (const int portrait : {0, 1}) {
      SetCtrlVal(PrintDialogPanel(), PrintPanel::OrientationSwitch, portrait);
      ProcessDrawEvents();
      std::vector<QWidget*> shown;
      for (QWidget* client : QApplication::allWidgets())
        if (client->objectName() == "PrintPanelClient" && client->isVisible())
          for (QWidget* widget : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (widget->isVisibleTo(client)) shown.push_back(widget);
      ASSERT_GE(shown.size(), 11u);
      for (std::size_t a = 0; a < shown.size(); ++a) {
        const std::string name = shown[a]->objectName().toStdString();
        const auto [needed, available] = TextRoom(*shown[a]);
        EXPECT_LE(needed, available) << name << " cuts its text in language " << language;
        for (std::size_t b = a + 1; b < shown.size(); ++b)
          EXPECT_FALSE(shown[a]->geometry().intersects(shown[b]->geometry())) << name << " overlaps another";
        if (name == "PrintCancelButton") {
          EXPECT_TRUE(qobject_cast<QPushButton*>(shown[a])->text().startsWith('&'));
        } else if (name == "PrintXyCheck") {  // no XY window: dimmed, and seen to be
          EXPECT_NE(shown[a]->palette().color(QPalette::Disabled, QPalette::WindowText),
                    shown[a]->palette().color(QPalette::Active, QPalette::WindowText));
        }
      }
    }
    Press(PrintPanel::PrintCancelButton);
    EXPECT_EQ(PrintDialogPanel(), 0);
  }
}

}  // namespace
