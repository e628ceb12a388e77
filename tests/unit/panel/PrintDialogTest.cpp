// The print dialog on the headless front-end: which windows reach the paper, in
// which order, with which header, footer and margins, and what the next opening keeps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/MessageCatalogue.h"
#include "panel/PrintDialog.h"
#include "panel/PrintJob.h"
#include "unit/display/MainPanelFixture.h"

namespace {

namespace fs = std::filesystem;
using Reports = std::vector<headless::PrintedReport>;

class PrintDialogTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    fs::create_directories(appDir_);
    fs::copy_file(ORNI_PANEL_FILE, appDir_ / PanelFileName, fs::copy_options::overwrite_existing);
    SetProjectDirOverride(appDir_.string());
    RegisterPrintDialogCallbacks();
    headless::Run(ForgetPrintChoices);
    std::snprintf(TheInstrument.modelName, sizeof TheInstrument.modelName, "KVX162");
    std::snprintf(TheInstrument.serialNumber, sizeof TheInstrument.serialNumber, "0123456");
    TheInstrument.firmwareVersion = 1.07;
  }
  void TearDown() override {
    if (PrintDialogPanel() > 0) headless::Commit(PrintDialogPanel(), PrintPanel::PrintCancelButton);
    ShowXYWindow(false);
    SetProjectDirOverride("");
    SetCurrentLanguage(kEnglish);
    fs::remove_all(appDir_);
    MainPanelTest::TearDown();
  }
  static void ShowXYWindow(bool open) {
    if (const int xy = XYPanelOpen.exchange(0); xy > 0) DiscardPanel(xy);
    if (open) XYPanelOpen = LoadPanel(0, PanelFileName, XYPanel::Resource);
  }
  static int OpenDialog() {
    headless::Run(OpenPrintDialog);
    return PrintDialogPanel();
  }
  // Presses Print, after which the dialog is gone; the reports printed.
  static Reports Print(int dialog) {
    const std::size_t before = headless::PrintedReports().size();
    headless::Commit(dialog, PrintPanel::PrintButton);
    EXPECT_EQ(PrintDialogPanel(), 0);
    EXPECT_TRUE(headless::PopupStack().empty());
    EXPECT_EQ(GetWaitCursorState(), 0);
    const Reports all = headless::PrintedReports();
    return Reports(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  }
  static int ListIndex(int dialog) {
    int index = -1;
    GetCtrlIndex(dialog, PrintPanel::PrinterList, &index);
    return index;
  }
  static std::string Text(int dialog, int control) {
    std::string text;
    GetCtrlVal(dialog, control, &text);
    return text;
  }

  const fs::path appDir_ = fs::temp_directory_path() / ("orni-print-" + std::to_string(::getpid()));
};

TEST_F(PrintDialogTest, BothWindowsPrintOnePerPageMainFirstWithHeaderAndFooterWhateverTheLocale) {
  ShowXYWindow(true);
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // the firmware version keeps its point
  const int dialog = OpenDialog();
  std::setlocale(LC_ALL, "C");
  ASSERT_GT(dialog, 0);
  EXPECT_EQ(Attribute(PrintPanel::PrintXyCheck, ATTR_DIMMED, dialog), 0);
  const Reports printed = Print(dialog);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].printer, "Headless printer");
  EXPECT_EQ(printed[0].orientation, kNIReportLandscape);
  EXPECT_EQ(printed[0].margins, (std::array<double, 4>{1.25, 1.25, 1.25, 1.25}));
  ASSERT_EQ(printed[0].pages.size(), 2u);
  int widths[2] = {};
  GetPanelAttribute(panel_, ATTR_WIDTH, &widths[0]);
  GetPanelAttribute(XYPanelOpen.load(), ATTR_WIDTH, &widths[1]);
  ASSERT_NE(widths[0], widths[1]);  // tells the pictures apart
  const std::string pictureFile = (appDir_ / "tempBMP.bbb").string();
  for (std::size_t page = 0; page < 2; ++page) {
    const headless::PrintedPage& printedPage = printed[0].pages[page];
    ASSERT_EQ(printedPage.images.size(), 1u);
    EXPECT_EQ(printedPage.images[0].fileName, pictureFile);
    EXPECT_EQ(printedPage.images[0].width, widths[page]);
    EXPECT_EQ(printedPage.header[0], "KVX162 v1.07 SN: 0123456");
    EXPECT_TRUE(!printedPage.header[2].empty() && printedPage.header[2].find('<') == std::string::npos);
    EXPECT_EQ(printedPage.footer[0], "ORNIKELVARINLAB v1.00");
    EXPECT_EQ(printedPage.footer[2], std::to_string(page + 1) + "/2");
  }
  EXPECT_FALSE(fs::exists(pictureFile));
}

TEST_F(PrintDialogTest, OnlyCheckedUndimmedWindowsArePrinted) {
  struct Row {
    bool xyOpen;
    int mainChecked, xyChecked;
    std::vector<bool> mainPictures;  // per printed picture: the main panel's?
  };
  int mainWidth = 0;
  GetPanelAttribute(panel_, ATTR_WIDTH, &mainWidth);
  for (const Row& row : {Row{false, 1, 1, {true}}, Row{true, 0, 1, {false}}, Row{true, 1, 0, {true}},
                         Row{false, 0, 1, {}}}) {
    ShowXYWindow(row.xyOpen);
    const int dialog = OpenDialog();
    EXPECT_EQ(Attribute(PrintPanel::PrintXyCheck, ATTR_DIMMED, dialog), row.xyOpen ? 0 : 1);
    SetCtrlVal(dialog, PrintPanel::PrintMainCheck, row.mainChecked);
    SetCtrlVal(dialog, PrintPanel::PrintXyCheck, row.xyChecked);
    std::vector<bool> mainPictures;
    for (const headless::PrintedReport& report : Print(dialog))
      for (const headless::PrintedPage& page : report.pages)
        for (const headless::PrintedImage& image : page.images) mainPictures.push_back(image.width == mainWidth);
    EXPECT_EQ(mainPictures, row.mainPictures) << row.xyOpen << row.mainChecked << row.xyChecked;
  }
}

TEST_F(PrintDialogTest, RefusedMarginsAreWidenedUpToThreeInchesThenGivenUpSilently) {
  std::vector<double> margins;
  double margin = 0.0;
  while (PrintMarginForAttempt(static_cast<int>(margins.size()), &margin)) margins.push_back(margin);
  EXPECT_EQ(margins, (std::vector<double>{1.25, 1.45, 1.65, 1.85, 2.05, 2.25, 2.45, 2.65, 2.85}));  // exact
  for (const auto& [printerEdge, printedMargin] : {std::pair{1.26, 1.45}, {2.84, 2.85}, {2.86, 0.0}}) {
    headless::SetPrinters({{"Edgy", 8.27, 11.69, printerEdge}});
    const Reports printed = Print(OpenDialog());
    EXPECT_TRUE(headless::Popups().empty());
    ASSERT_EQ(printed.size(), printedMargin > 0.0 ? 1u : 0u) << printerEdge;
    for (const headless::PrintedReport& report : printed) EXPECT_EQ(report.margins[2], printedMargin);
  }
}

TEST_F(PrintDialogTest, NextOpeningPreselectsThePrinterAndOrientationOfTheLastPrint) {
  headless::SetPrinters({{"Office A4"}, {"Lab Printer"}, {"Plotter"}, {"\xE9tage 2"}});
  int dialog = OpenDialog();
  EXPECT_EQ(Text(dialog, PrintPanel::PrinterNameText), "Office A4");  // the system's default
  headless::SelectIndex(dialog, PrintPanel::PrinterList, 1);
  EXPECT_EQ(Text(dialog, PrintPanel::PrinterNameText), "Lab Printer");
  headless::SetValue(dialog, PrintPanel::OrientationSwitch, 1.0);
  const Reports printed = Print(dialog);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].printer, "Lab Printer");
  EXPECT_EQ(printed[0].orientation, kNIReportPortrait);
  dialog = OpenDialog();  // Cancel keeps nothing
  headless::SelectIndex(dialog, PrintPanel::PrinterList, 2);
  headless::SetValue(dialog, PrintPanel::OrientationSwitch, 0.0);
  headless::Commit(dialog, PrintPanel::PrintCancelButton);
  dialog = OpenDialog();
  EXPECT_EQ(Text(dialog, PrintPanel::PrinterNameText) + "|" + std::to_string(ListIndex(dialog)), "Lab Printer|1");
  EXPECT_EQ(Attribute(PrintPanel::OrientationSwitch, ATTR_CTRL_VAL, dialog), 1);
  // A name typed by hand is found in the list without regard to case, else the first item is selected.
  for (const auto& [typed, selected] : {std::pair{"PLOTTER", 2}, {"\xC9TAGE 2", 3}, {"Gone", 0}}) {
    headless::SetValue(dialog, PrintPanel::PrinterNameText, std::string(typed));
    Print(dialog);
    dialog = OpenDialog();
    EXPECT_EQ(Text(dialog, PrintPanel::PrinterNameText), typed);
    EXPECT_EQ(ListIndex(dialog), selected) << typed;
  }
}

TEST_F(PrintDialogTest, OverlongTitleAndPrinterNameAreCutToTheirFields) {
  headless::SetPrinters({{"Office A4"}});
  int dialog = OpenDialog();
  headless::SetValue(dialog, PrintPanel::PrinterNameText, std::string(400, 'p') + ".pdf");
  EXPECT_TRUE(Print(dialog).empty());  // cut to 255, it no longer names a PDF file
  dialog = OpenDialog();
  EXPECT_EQ(Text(dialog, PrintPanel::PrinterNameText), std::string(255, 'p'));
  headless::SetValue(dialog, PrintPanel::PrinterNameText, std::string("Office A4"));
  headless::SetValue(dialog, PrintPanel::PrintTitleText, std::string(300, 'T'));
  const Reports printed = Print(dialog);
  ASSERT_TRUE(printed.size() == 1u && !printed[0].pages.empty());
  EXPECT_EQ(printed[0].pages[0].header[0], std::string(100, 'T'));
}

TEST_F(PrintDialogTest, DialogSpeaksTheCurrentLanguage) {
  SetCurrentLanguage(kGerman);
  const int dialog = OpenDialog();
  std::string title, onText, cancel;
  GetPanelAttribute(dialog, ATTR_TITLE, &title);
  GetCtrlAttribute(dialog, PrintPanel::OrientationSwitch, ATTR_ON_TEXT, &onText);
  GetCtrlAttribute(dialog, PrintPanel::PrintCancelButton, ATTR_LABEL_TEXT, &cancel);
  EXPECT_EQ(title + "|" + onText + "|" + cancel + "|" + Text(dialog, PrintPanel::PrinterCaption),
            "Drucken|Hochformat|__Abbrechen|Drucker ausw\xE4hlen:");
}

}  // namespace
