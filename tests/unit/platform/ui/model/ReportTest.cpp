#include <cmath>
#include <set>
#include <thread>
#include <vector>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

class ReportTest : public UiTest {
 protected:
  // A panel's picture saved as a BMP file, as the print dialog makes them.
  std::string SavePicture(const std::string& name, int height, int width) {
    const int panel = NewPanel(0, name.c_str(), 0, 0, height, width);
    int bitmap = 0;
    EXPECT_EQ(GetPanelDisplayBitmap(panel, VAL_FULL_PANEL, &bitmap), 0);
    const std::string file = (dir_ / name).string();
    EXPECT_EQ(SaveBitmapToBMPFile(bitmap, file.c_str()), 0);
    DiscardBitmap(bitmap);
    DiscardPanel(panel);
    return file;
  }
  NIReportHandle NewReport() {
    NIReportHandle report = 0;
    EXPECT_EQ(NIReport_New(&report), 0);
    return report;
  }
  void SetMargins(NIReportHandle report, double margin) {
    for (int side = kNIReportAttrTopMargin; side <= kNIReportAttrRightMargin; ++side)
      EXPECT_EQ(NIReport_SetReportAttribute(report, side, margin), 0);
  }
  // Printing belongs to the user-interface thread, as the print menu does it.
  static int Print(NIReportHandle report, const char* printer) {
    int status = 0;
    headless::Run([&] { status = NIReport_Print(report, printer); });
    return status;
  }
  static int GetPrinters(std::string* defaultPrinter, std::vector<std::string>* printers) {
    int status = 0;
    headless::Run([&] { status = NIReport_GetPrinters(defaultPrinter, printers); });
    return status;
  }
};

TEST_F(ReportTest, PicturesArePrintedOnePerPageWithHeaderAndFooter) {
  const std::string main = SavePicture("main.bmp", 400, 600), xy = SavePicture("xy.bmp", 300, 300);
  const NIReportHandle report = NewReport();
  ASSERT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrOrientation, kNIReportLandscape), 0);
  SetMargins(report, 1.25);
  NIReport_SetReportAttribute(report, kNIReportAttrHeaderLeft, "Scope v1.20 SN: 42");
  NIReport_SetReportAttribute(report, kNIReportAttrHeaderRight, "<shortdate>");
  NIReport_SetReportAttribute(report, kNIReportAttrFooterCenter, "Page <pagenofm> of <pagenofm>");
  ASSERT_EQ(NIReport_AppendImageFile(report, main.c_str()), 0);
  std::filesystem::remove(main);  // the report keeps the picture itself
  ASSERT_EQ(NIReport_NewPage(report), 0);
  ASSERT_EQ(NIReport_AppendImageFile(report, xy.c_str()), 0);
  NIReport_NewPage(report);  // an empty page at the end is not printed
  ASSERT_EQ(Print(report, ""), 0);

  const std::vector<headless::PrintedReport> printed = headless::PrintedReports();
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].printer, "Headless printer");
  EXPECT_EQ(printed[0].orientation, kNIReportLandscape);
  EXPECT_EQ(printed[0].margins, (std::array<double, 4>{1.25, 1.25, 1.25, 1.25}));
  ASSERT_EQ(printed[0].pages.size(), 2u);
  const headless::PrintedPage& first = printed[0].pages[0];
  ASSERT_EQ(first.images.size(), 1u);
  EXPECT_EQ(first.images[0].fileName, main);
  EXPECT_EQ(first.images[0].width, 600);
  EXPECT_EQ(first.images[0].height, 400);
  EXPECT_EQ(printed[0].pages[1].images[0].fileName, xy);
  EXPECT_EQ(first.header[0], "Scope v1.20 SN: 42");
  EXPECT_FALSE(first.header[2].empty());
  EXPECT_EQ(first.header[2].find('<'), std::string::npos);
  EXPECT_EQ(first.footer[1], "Page 1/2 of 1/2");
  EXPECT_EQ(printed[0].pages[1].footer[1], "Page 2/2 of 2/2");

  // A4 landscape is 11.69 x 8.27 in; inside the margins the body is 9.19 x 5.77 in.
  // The 3:2 picture fills the body's height, centred across; the square one too.
  const headless::PrintedImage& picture = first.images[0];
  EXPECT_NEAR(picture.printedHeight, 5.77, 1e-6);
  EXPECT_NEAR(picture.printedWidth, 5.77 * 1.5, 1e-6);
  EXPECT_NEAR(picture.x, (11.69 - picture.printedWidth) / 2, 1e-6);
  EXPECT_NEAR(picture.y, 1.25, 1e-6);
  const headless::PrintedImage& square = printed[0].pages[1].images[0];
  EXPECT_NEAR(square.printedWidth, square.printedHeight, 1e-9);

  EXPECT_EQ(NIReport_Discard(report), 0);
  EXPECT_EQ(NIReport_Discard(report), kNIReportErrInvalidHandle);
  EXPECT_EQ(Print(report, ""), kNIReportErrInvalidHandle);
  EXPECT_EQ(NIReport_AppendImageFile(report, xy.c_str()), kNIReportErrInvalidHandle);
  EXPECT_EQ(NIReport_NewPage(report), kNIReportErrInvalidHandle);
  EXPECT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrOrientation, kNIReportPortrait),
            kNIReportErrInvalidHandle);
}

TEST_F(ReportTest, PicturesSharingAPageAreStackedAndActualSizeIsScreenSize) {
  const std::string wide = SavePicture("wide.bmp", 100, 800), small = SavePicture("small.bmp", 48, 96);
  const NIReportHandle report = NewReport();  // portrait A4, 1-inch margins: body 6.27 x 9.69 in
  NIReport_AppendImageFile(report, wide.c_str());
  NIReport_AppendImageFile(report, small.c_str());
  ASSERT_EQ(Print(report, nullptr), 0);
  NIReport_SetReportAttribute(report, kNIReportAttrImageScaling, kNIReportActualSize);
  ASSERT_EQ(Print(report, nullptr), 0);

  const auto printed = headless::PrintedReports();
  ASSERT_EQ(printed.size(), 2u);
  ASSERT_EQ(printed[0].pages.size(), 1u);
  const auto& fitted = printed[0].pages[0].images;
  ASSERT_EQ(fitted.size(), 2u);
  EXPECT_NEAR(fitted[0].printedWidth, 6.27, 1e-6);  // the wide one fills the width of its half
  EXPECT_NEAR(fitted[0].printedHeight, 6.27 / 8, 1e-6);
  EXPECT_NEAR(fitted[1].y, 1.0 + 9.69 / 2, 1e-6);   // the second starts the lower half
  EXPECT_NEAR(fitted[1].printedWidth, 6.27, 1e-6);
  const auto& actual = printed[1].pages[0].images;
  EXPECT_NEAR(actual[0].printedWidth, 6.27, 1e-6);  // too wide for its size: shrunk
  EXPECT_NEAR(actual[1].printedWidth, 1.0, 1e-6);   // 96 pixels
  EXPECT_NEAR(actual[1].printedHeight, 0.5, 1e-6);
  EXPECT_NEAR(actual[1].x, (8.27 - 1.0) / 2, 1e-6);
}

TEST_F(ReportTest, MissingOrBrokenPicturesAndBadSettingsAreRefused) {
  const NIReportHandle report = NewReport();
  EXPECT_EQ(NIReport_AppendImageFile(report, (dir_ / "absent.bmp").string().c_str()), kNIReportErrFileNotFound);
  EXPECT_EQ(NIReport_AppendImageFile(report, nullptr), kNIReportErrInvalidValue);
  EXPECT_EQ(NIReport_AppendImageFile(report, WriteFile(dir_ / "text.bmp", "not a picture").string().c_str()),
            kNIReportErrBadImage);
  EXPECT_EQ(NIReport_AppendImageFile(report, WriteFile(dir_ / "cut.bmp", "BM\x36\x00\x00").string().c_str()),
            kNIReportErrBadImage);
  std::string zeroWide(54, '\0');
  zeroWide[0] = 'B', zeroWide[1] = 'M', zeroWide[14] = 40, zeroWide[22] = 5;
  EXPECT_EQ(NIReport_AppendImageFile(report, WriteFile(dir_ / "zero.bmp", zeroWide).string().c_str()),
            kNIReportErrBadImage);
  EXPECT_EQ(Print(report, ""), kNIReportErrEmpty);  // nothing was added

  // A PNG's size is big-endian in its header.
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\x02\0\0\0\x30", 24);
  ASSERT_EQ(NIReport_AppendImageFile(report, WriteFile(dir_ / "p.png", png).string().c_str()), 0);
  EXPECT_EQ(Print(report, "Nowhere"), kNIReportErrPrinterNotFound);
  ASSERT_EQ(Print(report, ""), 0);
  EXPECT_EQ(headless::PrintedReports().at(0).pages.at(0).images.at(0).width, 258);
  EXPECT_EQ(headless::PrintedReports().at(0).pages.at(0).images.at(0).height, 48);

  EXPECT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrOrientation, 7), kNIReportErrInvalidValue);
  EXPECT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrLeftMargin, -0.5), kNIReportErrInvalidValue);
  EXPECT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrLeftMargin, std::nan("")), kNIReportErrInvalidValue);
  EXPECT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrOrientation, 0.5), kNIReportErrInvalidValue);
  EXPECT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrLeftMargin, "1"), kNIReportErrInvalidAttribute);
  EXPECT_EQ(NIReport_SetReportAttribute(report, 99, 1), kNIReportErrInvalidAttribute);
  EXPECT_EQ(NIReport_SetTextAttribute(report, kNIReportTextAttrPointSize, 2), kNIReportErrInvalidValue);
  EXPECT_EQ(NIReport_SetTextAttribute(report, 99, 1), kNIReportErrInvalidAttribute);
  EXPECT_EQ(NIReport_SetReportAttribute(report, kNIReportAttrTopMargin, 2), 0);  // a whole number of inches
  EXPECT_EQ(NIReport_New(nullptr), kNIReportErrInvalidValue);
  EXPECT_EQ(headless::PrintedReports().size(), 1u);
}

TEST_F(ReportTest, MarginsInsideThePrintersEdgeAreRefusedUntilWideEnough) {
  headless::SetPrinters({{"Office", 8.5, 11.0, 1.4}, {"Plotter", 8.27, 11.69, 0.0}});
  std::string defaultPrinter;
  std::vector<std::string> printers;
  ASSERT_EQ(GetPrinters(&defaultPrinter, &printers), 0);
  EXPECT_EQ(defaultPrinter, "Office");
  EXPECT_EQ(printers, (std::vector<std::string>{"Office", "Plotter"}));

  const std::string picture = SavePicture("main.bmp", 40, 60);
  const NIReportHandle report = NewReport();
  NIReport_AppendImageFile(report, picture.c_str());
  SetMargins(report, 1.25);
  EXPECT_EQ(Print(report, "Office"), -4);
  EXPECT_EQ(Print(report, "Plotter"), 0);
  SetMargins(report, 1.45);
  EXPECT_EQ(Print(report, "Office"), 0);
  SetMargins(report, 4.5);  // wider than half the paper
  EXPECT_EQ(Print(report, "Office"), kNIReportErrNoRoom);
  SetMargins(report, 1.0);
  EXPECT_EQ(Print(report, "results.PDF"), 0);  // a file, whatever the printers
  const auto printed = headless::PrintedReports();
  ASSERT_EQ(printed.size(), 3u);
  EXPECT_EQ(printed[1].printer, "Office");
  EXPECT_EQ(printed[2].printer, "results.PDF");

  headless::SetPrinters({});
  ASSERT_EQ(GetPrinters(&defaultPrinter, &printers), 0);
  EXPECT_TRUE(defaultPrinter.empty());
  EXPECT_TRUE(printers.empty());
  EXPECT_EQ(Print(report, ""), kNIReportErrPrinterNotFound);
  EXPECT_EQ(GetPrinters(nullptr, &printers), kNIReportErrInvalidValue);
}

TEST_F(ReportTest, CancellingThePrintDialogPrintsNothing) {
  const std::string picture = SavePicture("main.bmp", 40, 60);
  const NIReportHandle report = NewReport();
  NIReport_AppendImageFile(report, picture.c_str());
  NIReport_SetReportAttribute(report, kNIReportAttrPrintDialog, 1);
  headless::AnswerEscape();
  EXPECT_EQ(Print(report, ""), kNIReportErrCancelled);
  headless::AnswerEnter();
  EXPECT_EQ(Print(report, ""), 0);
  EXPECT_EQ(headless::PrintedReports().size(), 1u);
  const auto popups = headless::Popups();
  ASSERT_EQ(popups.size(), 2u);
  EXPECT_EQ(popups[0].kind, headless::PopupRecord::PrintDialog);
  EXPECT_EQ(popups[0].result, 0);
  EXPECT_EQ(popups[1].result, 1);
}

// Reports are built on several threads at once and printed on the
// user-interface thread.
TEST_F(ReportTest, ReportsAreBuiltAndPrintedFromSeveralThreadsAtOnce) {
  const std::string picture = SavePicture("main.bmp", 30, 40);
  constexpr int kThreads = 4, kReports = 25;
  std::vector<std::vector<NIReportHandle>> handles(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kReports; ++i) {
        NIReportHandle report = 0;
        if (NIReport_New(&report) != 0) continue;
        handles[static_cast<std::size_t>(t)].push_back(report);
        NIReport_AppendImageFile(report, picture.c_str());
        NIReport_NewPage(report);
        NIReport_AppendImageFile(report, picture.c_str());
        Print(report, "");
        NIReport_Discard(report);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<NIReportHandle> distinct;
  for (const auto& list : handles) distinct.insert(list.begin(), list.end());
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kThreads * kReports));
  const auto printed = headless::PrintedReports();
  ASSERT_EQ(printed.size(), static_cast<std::size_t>(kThreads * kReports));
  for (const auto& report : printed) EXPECT_EQ(report.pages.size(), 2u);
}

}  // namespace
