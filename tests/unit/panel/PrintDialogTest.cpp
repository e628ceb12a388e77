// The print dialog on the headless front-end: which windows reach the paper
// and in which order, the header and footer, the margins a fussy printer gets,
// what the dialog keeps for its next opening, and the temporary picture file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "display/XYPanel.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "panel/PrintDialog.h"
#include "panel/PrintJob.h"
#include "platform/os/ProjectDir.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "unit/display/MainPanelFixture.h"

namespace {

namespace fs = std::filesystem;
using Reports = std::vector<headless::PrintedReport>;

class PrintDialogTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    if (HasFatalFailure()) return;
    // The application directory: the panel file, and where the picture file goes.
    appDir_ = fs::temp_directory_path() / ("orni-print-" + std::to_string(::getpid()));
    fs::create_directories(appDir_);
    fs::copy_file(ORNI_PANEL_FILE, appDir_ / PanelFileName, fs::copy_options::overwrite_existing);
    SetProjectDirOverride(appDir_.string());
    SetCurrentLanguage(kEnglish);
    RegisterPrintDialogCallbacks();
    headless::Run(ForgetPrintChoices);
    std::snprintf(TheInstrument.modelName, sizeof TheInstrument.modelName, "KVX162");
    std::snprintf(TheInstrument.serialNumber, sizeof TheInstrument.serialNumber, "0123456");
    TheInstrument.firmwareVersion = 1.07;
  }
  void TearDown() override {
    if (const int dialog = PrintDialogPanel(); dialog > 0) headless::Commit(dialog, PrintPanel::PrintCancelButton);
    CloseXYWindow();
    SetProjectDirOverride("");
    SetCurrentLanguage(kEnglish);
    std::error_code ignored;
    fs::remove_all(appDir_, ignored);
    MainPanelTest::TearDown();
  }

  void OpenXYWindow() {
    const int xy = LoadPanel(0, PanelFileName, XYPanel::Resource);
    ASSERT_GT(xy, 0);
    DisplayPanel(xy);
    XYPanelOpen = xy;
  }
  static void CloseXYWindow() {
    if (const int xy = XYPanelOpen.exchange(0); xy > 0) DiscardPanel(xy);
  }
  int OpenDialog() {
    headless::Run(OpenPrintDialog);
    const int dialog = PrintDialogPanel();
    EXPECT_GT(dialog, 0);
    return dialog;
  }
  int DialogValue(int dialog, int control) const {
    int value = -1;
    GetCtrlVal(dialog, control, &value);
    return value;
  }
  std::string DialogText(int dialog, int control) const {
    std::string text;
    GetCtrlVal(dialog, control, &text);
    return text;
  }
  int ListIndex(int dialog) const {
    int index = -2;
    GetCtrlIndex(dialog, PrintPanel::PrinterList, &index);
    return index;
  }
  static int PanelWidth(int panel) {
    int width = 0;
    GetPanelAttribute(panel, ATTR_WIDTH, &width);
    return width;
  }
  // Print pressed: the dialog is gone afterwards, whatever was printed. The
  // reports that press printed.
  static Reports Print(int dialog) {
    const std::size_t before = headless::PrintedReports().size();
    headless::Commit(dialog, PrintPanel::PrintButton);
    EXPECT_EQ(PrintDialogPanel(), 0);
    EXPECT_TRUE(headless::PopupStack().empty());
    EXPECT_EQ(GetWaitCursorState(), 0);
    Reports printed = headless::PrintedReports();
    printed.erase(printed.begin(), printed.begin() + static_cast<std::ptrdiff_t>(before));
    return printed;
  }

  fs::path appDir_;
};

TEST_F(PrintDialogTest, BothWindowsPrintOnePerPageMainPanelFirstWithHeaderAndFooter) {
  OpenXYWindow();
  const int dialog = OpenDialog();
  EXPECT_EQ(Attribute(PrintPanel::PrintXyCheck, ATTR_DIMMED, dialog), 0);
  EXPECT_EQ(headless::PopupStack(), std::vector<int>{dialog});
  const Reports printed = Print(dialog);

  ASSERT_EQ(printed.size(), 1u);
  const headless::PrintedReport& report = printed[0];
  EXPECT_EQ(report.printer, "Headless printer");
  EXPECT_EQ(report.orientation, kNIReportLandscape);
  EXPECT_EQ(report.margins, (std::array<double, 4>{1.25, 1.25, 1.25, 1.25}));
  ASSERT_EQ(report.pages.size(), 2u);
  const std::string picture = (appDir_ / "tempBMP.bbb").string();
  const int pictureWidths[2] = {PanelWidth(MainPanelHandle.load()), PanelWidth(XYPanelOpen.load())};
  ASSERT_NE(pictureWidths[0], pictureWidths[1]);  // tells the two windows apart
  for (std::size_t page = 0; page < 2; ++page) {
    SCOPED_TRACE(page + 1);
    const headless::PrintedPage& printedPage = report.pages[page];
    ASSERT_EQ(printedPage.images.size(), 1u);
    EXPECT_EQ(printedPage.images[0].fileName, picture);
    EXPECT_EQ(printedPage.images[0].width, pictureWidths[page]);
    EXPECT_EQ(printedPage.header[0], "KVX162 v1.07 SN: 0123456");
    EXPECT_FALSE(printedPage.header[2].empty());
    EXPECT_EQ(printedPage.header[2].find('<'), std::string::npos) << printedPage.header[2];
    EXPECT_EQ(printedPage.footer[0], "ORNIKELVARINLAB v1.00");
    EXPECT_EQ(printedPage.footer[2], std::to_string(page + 1) + "/2");
  }
  EXPECT_FALSE(fs::exists(picture));
}

TEST_F(PrintDialogTest, OnlyCheckedUndimmedWindowsArePrinted) {
  struct Row {
    const char* name;
    bool xyOpen;
    int mainChecked, xyChecked;
    std::vector<int> widths;  // of the printed pictures; 0 stands for the XY window
  };
  const int mainWidth = PanelWidth(panel_);
  const Row rows[] = {
      {"xy closed though checked", false, 1, 1, {mainWidth}},
      {"xy open, main unchecked", true, 0, 1, {0}},
      {"xy open but unchecked", true, 1, 0, {mainWidth}},
      {"nothing chosen", false, 0, 1, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CloseXYWindow();
    if (row.xyOpen) OpenXYWindow();
    const int dialog = OpenDialog();
    EXPECT_EQ(Attribute(PrintPanel::PrintXyCheck, ATTR_DIMMED, dialog), row.xyOpen ? 0 : 1);
    SetCtrlVal(dialog, PrintPanel::PrintMainCheck, row.mainChecked);
    SetCtrlVal(dialog, PrintPanel::PrintXyCheck, row.xyChecked);
    const Reports printed = Print(dialog);
    std::vector<int> widths;
    for (const headless::PrintedReport& report : printed)
      for (const headless::PrintedPage& page : report.pages)
        for (const headless::PrintedImage& image : page.images)
          widths.push_back(image.width == mainWidth ? image.width : 0);
    EXPECT_EQ(widths, row.widths);
    if (row.widths.empty()) {
      EXPECT_TRUE(printed.empty());
    }
  }
}

TEST_F(PrintDialogTest, RefusedMarginsAreWidenedUpToThreeInchesThenGivenUpSilently) {
  struct Row {
    double printerEdge;
    double printedMargin;  // 0: nothing printed
  };
  for (const Row row : {Row{1.0, 1.25}, Row{1.26, 1.45}, Row{1.46, 1.65}, Row{2.04, 2.05}, Row{2.84, 2.85},
                        Row{2.86, 0.0}}) {
    SCOPED_TRACE(row.printerEdge);
    headless::SetPrinters({{"Edgy", 8.27, 11.69, row.printerEdge}});
    const Reports printed = Print(OpenDialog());
    EXPECT_TRUE(headless::Popups().empty());
    if (row.printedMargin == 0.0) {
      EXPECT_TRUE(printed.empty());
      continue;
    }
    ASSERT_EQ(printed.size(), 1u);
    // Exact: each margin is computed afresh, never summed step by step.
    for (const double margin : printed[0].margins) EXPECT_EQ(margin, row.printedMargin);
  }
}

TEST_F(PrintDialogTest, MarginsOfEachAttempt) {
  const std::vector<double> expected = {1.25, 1.45, 1.65, 1.85, 2.05, 2.25, 2.45, 2.65, 2.85};
  std::vector<double> margins;
  double margin = 0.0;
  for (int attempt = 0; PrintMarginForAttempt(attempt, &margin); ++attempt) margins.push_back(margin);
  EXPECT_EQ(margins, expected);
  EXPECT_FALSE(PrintMarginForAttempt(-1, &margin));
}

TEST_F(PrintDialogTest, SecondOpeningPreselectsThePrinterAndOrientationOfThePrintBefore) {
  headless::SetPrinters({{"Office A4"}, {"Lab Printer"}, {"Plotter"}});
  int dialog = OpenDialog();
  EXPECT_EQ(DialogText(dialog, PrintPanel::PrinterNameText), "Office A4");  // the system's default
  EXPECT_EQ(ListIndex(dialog), 0);
  EXPECT_EQ(DialogValue(dialog, PrintPanel::OrientationSwitch), 0);
  headless::SelectIndex(dialog, PrintPanel::PrinterList, 1);
  EXPECT_EQ(DialogText(dialog, PrintPanel::PrinterNameText), "Lab Printer");
  headless::SetValue(dialog, PrintPanel::OrientationSwitch, 1.0);
  const Reports printed = Print(dialog);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].printer, "Lab Printer");
  EXPECT_EQ(printed[0].orientation, kNIReportPortrait);

  dialog = OpenDialog();
  EXPECT_EQ(DialogText(dialog, PrintPanel::PrinterNameText), "Lab Printer");
  EXPECT_EQ(ListIndex(dialog), 1);
  EXPECT_EQ(DialogValue(dialog, PrintPanel::OrientationSwitch), 1);
  // Cancel keeps nothing of what was changed.
  headless::SelectIndex(dialog, PrintPanel::PrinterList, 2);
  headless::SetValue(dialog, PrintPanel::OrientationSwitch, 0.0);
  headless::Commit(dialog, PrintPanel::PrintCancelButton);
  EXPECT_EQ(PrintDialogPanel(), 0);
  EXPECT_TRUE(headless::PopupStack().empty());
  dialog = OpenDialog();
  EXPECT_EQ(DialogText(dialog, PrintPanel::PrinterNameText), "Lab Printer");
  EXPECT_EQ(DialogValue(dialog, PrintPanel::OrientationSwitch), 1);
  EXPECT_EQ(headless::PrintedReports().size(), 1u);
}

TEST_F(PrintDialogTest, RememberedPrinterIsFoundInTheListWithoutRegardToCase) {
  struct Row {
    const char* typed;
    int selected;
  };
  headless::SetPrinters({{"Office A4"}, {"Lab Printer"}, {"Plotter"}, {"\xE9tage 2"}});
  for (const Row row : {Row{"LAB PRINTER", 1}, Row{"plotter", 2}, Row{"Gone Printer", 0}, Row{"\xC9TAGE 2", 3}}) {
    SCOPED_TRACE(row.typed);
    int dialog = OpenDialog();
    EXPECT_EQ(headless::SetValue(dialog, PrintPanel::PrinterNameText, std::string(row.typed)), 0);
    Print(dialog);  // the name typed is remembered, printed or not
    dialog = OpenDialog();
    EXPECT_EQ(DialogText(dialog, PrintPanel::PrinterNameText), row.typed);
    EXPECT_EQ(ListIndex(dialog), row.selected);
    headless::Commit(dialog, PrintPanel::PrintCancelButton);
  }
}

TEST_F(PrintDialogTest, OverlongTitleAndPrinterNameAreCutToTheirFields) {
  headless::SetPrinters({{"Office A4"}});
  int dialog = OpenDialog();
  headless::SetValue(dialog, PrintPanel::PrintTitleText, std::string(300, 'T'));
  headless::SetValue(dialog, PrintPanel::PrinterNameText, std::string(400, 'p') + ".pdf");
  EXPECT_TRUE(Print(dialog).empty());  // cut, the name no longer names a PDF file
  dialog = OpenDialog();
  EXPECT_EQ(DialogText(dialog, PrintPanel::PrinterNameText), std::string(255, 'p'));
  headless::SetValue(dialog, PrintPanel::PrinterNameText, std::string("Office A4"));
  headless::SetValue(dialog, PrintPanel::PrintTitleText, std::string(300, 'T'));
  const Reports printed = Print(dialog);
  ASSERT_EQ(printed.size(), 1u);
  ASSERT_FALSE(printed[0].pages.empty());
  EXPECT_EQ(printed[0].pages[0].header[0], std::string(100, 'T'));
}

TEST_F(PrintDialogTest, DialogSpeaksTheCurrentLanguageAndTheTitleIgnoresTheLocale) {
  SetCurrentLanguage(kGerman);
  const char* const previous = std::setlocale(LC_ALL, nullptr);
  const std::string restore = previous != nullptr ? previous : "C";
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const int dialog = OpenDialog();
  std::setlocale(LC_ALL, restore.c_str());
  std::string title, label, onText, offText, cancel;
  GetPanelAttribute(dialog, ATTR_TITLE, &title);
  GetCtrlAttribute(dialog, PrintPanel::PrintTitleText, ATTR_LABEL_TEXT, &label);
  GetCtrlAttribute(dialog, PrintPanel::OrientationSwitch, ATTR_ON_TEXT, &onText);
  GetCtrlAttribute(dialog, PrintPanel::OrientationSwitch, ATTR_OFF_TEXT, &offText);
  GetCtrlAttribute(dialog, PrintPanel::PrintCancelButton, ATTR_LABEL_TEXT, &cancel);
  EXPECT_EQ(title, "Drucken");
  EXPECT_EQ(label, "Titel");
  EXPECT_EQ(onText, "Hochformat");
  EXPECT_EQ(offText, "Querformat");
  EXPECT_EQ(cancel, "__Abbrechen");
  EXPECT_EQ(DialogText(dialog, PrintPanel::WindowsCaption), CatalogueText(Msg::SelectWindows, kGerman));
  EXPECT_EQ(DialogText(dialog, PrintPanel::PrinterCaption), CatalogueText(Msg::SelectPrinter, kGerman));
  std::string mainLabel;
  GetCtrlAttribute(dialog, PrintPanel::PrintMainCheck, ATTR_LABEL_TEXT, &mainLabel);
  EXPECT_EQ(mainLabel, "Bedienfeld");
  EXPECT_EQ(DialogText(dialog, PrintPanel::PrintTitleText), "KVX162 v1.07 SN: 0123456");
}

}  // namespace
