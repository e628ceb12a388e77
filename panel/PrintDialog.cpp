#include "panel/PrintDialog.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "display/Formatting.h"
#include "display/XYPanel.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "panel/PrintJob.h"
#include "platform/ui/UserInterface.h"

namespace {

// The text fields' sizes: what is typed beyond them is not used.
constexpr std::size_t kPrinterNameSize = 256;
constexpr std::size_t kTitleSize = 101;

std::atomic<int> printPanel{0};
// Kept for the rest of the run; user-interface thread.
std::string rememberedPrinter;
int rememberedOrientation = 0;  // the orientation switch: 1 portrait, 0 landscape (the windows are wide)

struct PanelText {
  int control;
  int attribute;
  Msg text;
};
constexpr PanelText kPrintPanelTexts[] = {
    {PrintPanel::PrintTitleText, ATTR_LABEL_TEXT, Msg::Title},
    {PrintPanel::WindowsCaption, ATTR_CTRL_VAL, Msg::SelectWindows},
    {PrintPanel::PrintMainCheck, ATTR_LABEL_TEXT, Msg::ControlPanel},
    {PrintPanel::PrintXyCheck, ATTR_LABEL_TEXT, Msg::XyGraph},
    {PrintPanel::PrinterCaption, ATTR_CTRL_VAL, Msg::SelectPrinter},
    {PrintPanel::OrientationSwitch, ATTR_ON_TEXT, Msg::Portrait},
    {PrintPanel::OrientationSwitch, ATTR_OFF_TEXT, Msg::Landscape},
    {PrintPanel::PrintCancelButton, ATTR_LABEL_TEXT, Msg::Cancel},
};

void RelabelPrintPanel(int panel) {
  SetPanelAttribute(panel, ATTR_TITLE, CatalogueText(Msg::Print));
  for (const PanelText& place : kPrintPanelTexts)
    SetCtrlAttribute(panel, place.control, place.attribute, CatalogueText(place.text));
}

std::string Clamped(const std::string& text, std::size_t fieldSize) { return text.substr(0, fieldSize - 1); }

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

// Letters compared without case, also Latin-1's accented capitals; the same
// whatever the user's locale.
char LowerLatin1(char c) {
  const auto byte = static_cast<unsigned char>(c);
  const bool upper = (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
  return upper ? static_cast<char>(byte + 0x20) : c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerLatin1(x) == LowerLatin1(y); });
}

// The remembered printer (the system's default one the first time), and the
// list with that printer selected, or its first item when it is not there.
void FillPrinterChoice(int panel) {
  std::string defaultPrinter;
  std::vector<std::string> printers;
  if (NIReport_GetPrinters(&defaultPrinter, &printers) < 0) printers.clear();
  if (rememberedPrinter.empty()) rememberedPrinter = Clamped(defaultPrinter, kPrinterNameSize);
  SetCtrlVal(panel, PrintPanel::PrinterNameText, rememberedPrinter);
  ClearListCtrl(panel, PrintPanel::PrinterList);
  for (std::size_t i = 0; i < printers.size(); ++i)
    InsertListItem(panel, PrintPanel::PrinterList, -1, printers[i], static_cast<double>(i));
  const auto match = std::find_if(printers.begin(), printers.end(),
                                  [](const std::string& name) { return SameIgnoringCase(name, rememberedPrinter); });
  const int selected = match == printers.end() ? 0 : static_cast<int>(match - printers.begin());
  if (!printers.empty()) SetCtrlIndex(panel, PrintPanel::PrinterList, selected);
}

// "KVX162 v1.07 SN: 0123456"
std::string IdentityTitle() {
  const std::string title = FieldText(TheInstrument.modelName) + " v" +
                            FormatFixed(TheInstrument.firmwareVersion, 0, 2) + " SN: " +
                            FieldText(TheInstrument.serialNumber);
  return Clamped(title, kTitleSize);
}

void PreparePrintPanel(int panel) {
  RelabelPrintPanel(panel);
  if (XYPanelOpen.load() > 0) SetCtrlAttribute(panel, PrintPanel::PrintXyCheck, ATTR_DIMMED, 0);
  FillPrinterChoice(panel);
  SetCtrlVal(panel, PrintPanel::OrientationSwitch, rememberedOrientation);
  SetCtrlVal(panel, PrintPanel::PrintTitleText, IdentityTitle());
}

void ClosePrintDialog() {
  SetWaitCursor(0);
  RemovePopup(0);
  DiscardPanel(printPanel.exchange(0));
}

// Checked and not dimmed; the XY window also has to be open still.
bool WindowChosen(int panel, int check) {
  int dimmed = 1, checked = 0;
  GetCtrlAttribute(panel, check, ATTR_DIMMED, &dimmed);
  GetCtrlVal(panel, check, &checked);
  return dimmed == 0 && checked != 0;
}

std::vector<int> ChosenWindows(int panel) {
  std::vector<int> windows;
  if (WindowChosen(panel, PrintPanel::PrintMainCheck) && MainPanelHandle.load() > 0)
    windows.push_back(MainPanelHandle.load());
  if (WindowChosen(panel, PrintPanel::PrintXyCheck) && XYPanelOpen.load() > 0) windows.push_back(XYPanelOpen.load());
  return windows;
}

void PrintChosenWindows(int panel) {
  SetWaitCursor(1);
  PrintJob job;
  job.panels = ChosenWindows(panel);
  if (!job.panels.empty()) {
    GetCtrlVal(panel, PrintPanel::OrientationSwitch, &rememberedOrientation);
    job.portrait = rememberedOrientation != 0;
    char title[kTitleSize] = {};
    GetCtrlVal(panel, PrintPanel::PrintTitleText, title);
    job.title = title;
    char printer[kPrinterNameSize] = {};
    GetCtrlVal(panel, PrintPanel::PrinterNameText, printer);
    job.printer = rememberedPrinter = printer;
    PrintPanels(job);  // failures are not reported: the user sees that nothing came out
  }
  ClosePrintDialog();
}

void CopyChosenPrinterName(int panel) {
  int index = -1;
  std::string label;
  if (GetCtrlIndex(panel, PrintPanel::PrinterList, &index) < 0 || index < 0) return;
  if (GetLabelFromIndex(panel, PrintPanel::PrinterList, index, &label) < 0) return;
  SetCtrlVal(panel, PrintPanel::PrinterNameText, Clamped(label, kPrinterNameSize));
}

}  // namespace

void OpenPrintDialog() {
  if (printPanel.load() > 0) return;
  const int panel = LoadPanel(0, PanelFileName, PrintPanel::Resource);
  if (panel <= 0) return;
  printPanel = panel;
  PreparePrintPanel(panel);
  InstallPopup(panel);
}

int Imprimer(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
  if (event == EVENT_VAL_CHANGED && control == PrintPanel::PrinterList) CopyChosenPrinterName(panel);
  if (event != EVENT_COMMIT) return 0;
  if (control == PrintPanel::PrintCancelButton) ClosePrintDialog();
  else if (control == PrintPanel::PrintButton) PrintChosenWindows(panel);
  return 0;
}

void RegisterPrintDialogCallbacks() { RegisterCallback("Imprimer", CtrlCallback(Imprimer)); }

int PrintDialogPanel() { return printPanel.load(); }

void ForgetPrintChoices() {
  rememberedPrinter.clear();
  rememberedOrientation = 0;
}
