#include <gtest/gtest.h>
#include <unistd.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "layout/PanelIds.h"
#include "platform/ui/Frontend.h"
#include "platform/ui/UserInterface.h"
#include "support/PdfTools.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDotsPerInch = 50;

// The panel's picture in a BMP file, as the print dialog makes them.
std::string SavePicture(int panel, const fs::path& file) {
  DisplayPanel(panel);
  int bitmap = 0;
  EXPECT_EQ(GetPanelDisplayBitmap(panel, VAL_FULL_PANEL, &bitmap), 0);
  EXPECT_EQ(SaveBitmapToBMPFile(bitmap, file.c_str()), 0);
  DiscardBitmap(bitmap);
  return file.string();
}

// Where the page puts a picture of width x height pixels, in pixels of `page`.
QRectF PlacedOn(const QImage& page, int width, int height, double margin) {
  uimodel::ReportSettings settings;
  settings.margins = {margin, margin, margin, margin};
  uimodel::ReportImage image{"", width, height, nullptr};
  uimodel::PageLayout layout;
  EXPECT_EQ(uimodel::LayoutReportPage(settings, double(page.width()) / kDotsPerInch,
                                      double(page.height()) / kDotsPerInch, {0, 0, 0, 0}, {image}, &layout),
            0);
  const uimodel::RectInches& at = layout.images.at(0);
  return {at.x * kDotsPerInch, at.y * kDotsPerInch, at.width * kDotsPerInch, at.height * kDotsPerInch};
}

bool Near(QColor colour, int rgb, int tolerance) {
  const QColor expected = QColor::fromRgb(static_cast<QRgb>(rgb));
  return std::abs(colour.red() - expected.red()) <= tolerance &&
         std::abs(colour.green() - expected.green()) <= tolerance &&
         std::abs(colour.blue() - expected.blue()) <= tolerance;
}

TEST(ReportPrintTest, TwoPicturesMakeATwoPageLandscapePdf) {
  const fs::path dir = fs::temp_directory_path() / ("orni-report-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::unique_ptr<const fs::path, void (*)(const fs::path*)> cleanUp(&dir, [](const fs::path* gone) {
    std::error_code ignored;
    fs::remove_all(*gone, ignored);  // also when a check stops the test early
  });
  const int plain = NewPanel(0, "Plain", 40, 40, 300, 450);
  SetPanelAttribute(plain, ATTR_BACKCOLOR, 0x2060C0);
  const std::string first = SavePicture(plain, dir / "plain.bmp");
  const int main = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
  ASSERT_GT(main, 0);
  const std::string second = SavePicture(main, dir / "main.bmp");

  // Qt reads the pictures the program writes.
  const QImage written(QString::fromStdString(first));
  ASSERT_FALSE(written.isNull());
  EXPECT_EQ(written.size(), QSize(450, 300));
  EXPECT_EQ(written.pixel(5, 5) & 0xFFFFFFu, 0x2060C0u);
  EXPECT_FALSE(QImage(QString::fromStdString(second)).isNull());

  NIReportHandle report = 0;
  ASSERT_EQ(NIReport_New(&report), 0);
  NIReport_SetReportAttribute(report, kNIReportAttrOrientation, kNIReportLandscape);
  for (int side = kNIReportAttrTopMargin; side <= kNIReportAttrRightMargin; ++side)
    NIReport_SetReportAttribute(report, side, 1.25);
  NIReport_SetReportAttribute(report, kNIReportAttrHeaderLeft, "Report title");
  NIReport_SetReportAttribute(report, kNIReportAttrHeaderRight, "<shortdate>");
  NIReport_SetReportAttribute(report, kNIReportAttrFooterLeft, "ORNIKELVARINLAB v1.00");
  NIReport_SetReportAttribute(report, kNIReportAttrFooterRight, "<pagenofm>");
  ASSERT_EQ(NIReport_AppendImageFile(report, first.c_str()), 0);
  NIReport_NewPage(report);
  ASSERT_EQ(NIReport_AppendImageFile(report, second.c_str()), 0);
  const std::string pdf = (dir / "report.pdf").string();
  ASSERT_EQ(NIReport_Print(report, pdf.c_str()), 0);
  EXPECT_EQ(NIReport_Print(report, (dir / "absent" / "report.pdf").c_str()), kNIReportErrPrintFailed);
  NIReport_Discard(report);
  DiscardPanel(plain);
  DiscardPanel(main);

  EXPECT_EQ(testsupport::PdfPageCount(pdf), 2);

  // Page 1: the blue picture where the layout puts it, white margins around it.
  ASSERT_EQ(std::system(("pdftoppm -png -r " + std::to_string(kDotsPerInch) + " '" + pdf + "' '" +
                         (dir / "page").string() + "'").c_str()),
            0);
  const QImage page1(QString::fromStdString((dir / "page-1.png").string()));
  const QImage page2(QString::fromStdString((dir / "page-2.png").string()));
  ASSERT_FALSE(page1.isNull());
  ASSERT_FALSE(page2.isNull());
  EXPECT_GT(page1.width(), page1.height());  // landscape
  const QRectF blue = PlacedOn(page1, 450, 300, 1.25);
  EXPECT_TRUE(Near(page1.pixelColor(blue.center().toPoint()), 0x2060C0, 12));
  EXPECT_TRUE(Near(page1.pixelColor(blue.topLeft().toPoint() + QPoint(2, 2)), 0x2060C0, 12));
  EXPECT_TRUE(Near(page1.pixelColor(blue.left() - 3, blue.center().y()), 0xFFFFFF, 0));
  EXPECT_TRUE(Near(page1.pixelColor(page1.width() / 2, blue.bottom() + 3), 0xFFFFFF, 0));
  EXPECT_NEAR(blue.height(), (page1.height() - 2 * 1.25 * kDotsPerInch), 1.0);  // fills the body's height

  // Page 2: the main panel, scaled as a whole: its trace graph lands where expected.
  const QRectF panel = PlacedOn(page2, 990, 650, 1.25);
  const QPointF insideGraph(panel.x() + panel.width() * 600 / 990, panel.y() + panel.height() * 300 / 650);
  EXPECT_TRUE(Near(page2.pixelColor(insideGraph.toPoint()), 0x000000, 24));
}

TEST(ReportPrintTest, PrinterListIsTheSystemsAndUnknownPrintersAreRefused) {
  std::string defaultPrinter = "unset";
  std::vector<std::string> printers;
  ASSERT_EQ(NIReport_GetPrinters(&defaultPrinter, &printers), 0);
  if (!defaultPrinter.empty()) {
    EXPECT_NE(std::find(printers.begin(), printers.end(), defaultPrinter), printers.end());
  }
  NIReportHandle report = 0;
  NIReport_New(&report);
  const int panel = NewPanel(0, "Plain", 40, 40, 50, 50);
  const fs::path file = fs::temp_directory_path() / ("orni-report-" + std::to_string(::getpid()) + ".bmp");
  ASSERT_EQ(NIReport_AppendImageFile(report, SavePicture(panel, file).c_str()), 0);
  fs::remove(file);
  EXPECT_EQ(NIReport_Print(report, "No such printer here"), kNIReportErrPrinterNotFound);
  NIReport_Discard(report);
  DiscardPanel(panel);
}

}  // namespace
