#include "app/Startup.h"

#include <string>

#include "app/AboutBox.h"
#include "app/FirstRunFile.h"
#include "app/FirstRunSequence.h"
#include "app/HelpDocument.h"
#include "app/LanguageChange.h"
#include "panel/MainPanelLabels.h"
#include "catalogue/MessageCatalogue.h"
#include "app/Preferences.h"
#include "app/PreferencesMessageTexts.h"
#include "app/SplashText.h"
#include "acquisition/Acquisition.h"
#include "display/AjustTrace.h"
#include "display/DisplayState.h"
#include "display/FrameDisplayHooks.h"
#include "display/References.h"
#include "display/Reglage.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "display/Zoom.h"
#include "display/Measurements.h"
#include "acquisition/MainPanelHandle.h"
#include "display/Notice.h"
#include "layout/PanelIds.h"
#include "panel/ControleScope.h"
#include "panel/MainPanelControls.h"
#include "panel/MainToolbar.h"
#include "panel/MenuCallbacks.h"
#include "panel/PrintDialog.h"
#include "panel/SaveTrace.h"
#include "panel/ShortcutKeys.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "link/LinkMessages.h"
#include "link/SetupTransfer.h"
#include "link/Transport.h"
#include "platform/os/System.h"
#include "platform/ui/UserInterface.h"

ProgramPanels Panels;
MonitorSize ProgramMonitor;
std::string UsbRulesDirectory = SystemRulesDirectory();

namespace {

constexpr int kVariantModel = 71;
constexpr int kVariantBehavesAs = 112;
constexpr int kSmallestVariantSensitivity = 3;  // 25 mV/div

// The identity read from the instrument, kept over what the preferences held.
struct KeptIdentity {
  char modelName[10];
  double firmwareVersion;
  char idnTag[10];
  char serialNumber[20];
};

std::string PreferencesPath() { return StateFilePath(std::string(kPreferencesFileName)); }

void ShowMessageBox(Msg title, Msg text) { MessagePopup(CatalogueText(title), CatalogueText(text)); }

void ConnectMessageSinks() {
  SetPreferencesMessageSink([](PreferencesMessage message) {
    const MessageBoxEntries entries = CatalogueEntries(message);
    ShowMessageBox(entries.title, entries.text);
  });
  SetLinkMessageSink([](LinkMessage message) {
    if (message == LinkMessage::WrongConfiguration) ShowMessageBox(Msg::ErrorTitle, Msg::ReadConfigurationWrong);
    else ShowMessageBox(Msg::ChecksumErrorTitle, Msg::ReadConfigurationChecksum);
  });
  SetReopenNotice({ShowCommunicationNotice, RemoveCommunicationNotice});
  // The preferences keep the last measurement block the instrument sent.
  SetMeasurementKeeper([](std::span<const std::uint8_t, kMeasurementBlockSize> block) {
    static_assert(kMeasurementBlockSize == kLastMeasurementsSize);
    std::copy(block.begin(), block.end(), ProgramPreferences.lastMeasurements);
  });
}

bool ShowSplash() {
  Panels.splash = LoadPanel(0, PanelFileName, SplashPanel::Resource);
  if (Panels.splash < 0) {
    Panels.splash = 0;
    ShowMessageBox(Msg::FileErrorTitle, Msg::PanelFileNotFound);
    return false;
  }
  SetCtrlVal(Panels.splash, SplashPanel::AboutTitleText, ProgramTitle());
  SetCtrlVal(Panels.splash, SplashPanel::AboutDateText, FormatBuildDate(ExecutableDate(), CurrentLanguage()));
  SetCtrlAttribute(Panels.splash, SplashPanel::AboutDateText, ATTR_VISIBLE, 1);
  InstallPopup(Panels.splash);
  // The search below holds this thread for seconds: the splash must be mapped and drawn before it.
  ProcessDrawEvents();
  int monitor = 0;
  GetMonitorFromPanel(Panels.splash, &monitor);
  GetMonitorAttribute(monitor, ATTR_HEIGHT, &ProgramMonitor.height);
  GetMonitorAttribute(monitor, ATTR_WIDTH, &ProgramMonitor.width);
  return true;
}

bool ConnectInstrument(InstrumentSession& instrument) {
  instrument.InstrumentPresent = 1;
  if (FindInstrument(instrument) == VI_SUCCESS &&
      OpenInstrument(instrument, instrument.resourceDescriptors[kDescriptorSlot], &instrument.session) == 0)
    return true;
  ShowMessageBox(Msg::CommunicationError, Msg::ConnectionFailedAdvice);
  viClose(instrument.searchResourceManager);
  instrument.searchResourceManager = 0;
  return false;
}

KeptIdentity KeepIdentity(const InstrumentSession& instrument) {
  KeptIdentity kept{};
  std::copy(std::begin(instrument.modelName), std::end(instrument.modelName), kept.modelName);
  std::copy(std::begin(instrument.idnTag), std::end(instrument.idnTag), kept.idnTag);
  std::copy(std::begin(instrument.serialNumber), std::end(instrument.serialNumber), kept.serialNumber);
  kept.firmwareVersion = instrument.firmwareVersion;
  return kept;
}

void RestoreIdentity(InstrumentSession& instrument, const KeptIdentity& kept) {
  std::copy(std::begin(kept.modelName), std::end(kept.modelName), instrument.modelName);
  std::copy(std::begin(kept.idnTag), std::end(kept.idnTag), instrument.idnTag);
  std::copy(std::begin(kept.serialNumber), std::end(kept.serialNumber), instrument.serialNumber);
  instrument.firmwareVersion = kept.firmwareVersion;
  KeepInstrumentIdentity(ProgramPreferences, instrument);
}

// The model from the name; the distributor's variant behaves as model 112
// from here on, and its smallest ranges are not offered.
void ApplyModelRules(InstrumentSession& instrument) {
  if (const auto number = ModelNumberFromName(instrument.modelName)) instrument.modelNumber = *number;
  if (instrument.modelNumber == kVariantModel) instrument.modelNumber = kVariantBehavesAs;
  if (instrument.modelNumber != kVariantBehavesAs) return;
  std::lock_guard lock(SetupRecordMutex);
  for (auto* index : {&ProgramSetup.ch1VoltsPerDivIndex, &ProgramSetup.ch2VoltsPerDivIndex})
    if (LoadField(*index) < kSmallestVariantSensitivity) StoreField(*index, kSmallestVariantSensitivity);
}

void PlaceMainPanel() {
  const PanelRect& rect = ProgramPreferences.mainPanelRect;
  const int panel = MainPanelHandle.load();
  SetPanelPos(panel, rect.top, rect.left);
  SetPanelSize(panel, rect.height, rect.width);
}

// The XY window opens where it was left, also after a restart.
void RememberXYRectFromPreferences() {
  const PanelRect& rect = ProgramPreferences.xyPanelRect;
  SetRememberedXYRect({rect.top, rect.left, rect.height, rect.width});
}

void KeepXYRectInPreferences() {
  const int xyPanel = XYPanelOpen.load();
  if (xyPanel > 0) AjustTraceXY(xyPanel, EVENT_CLOSE, nullptr, 0, 0);
  const XYRect rect = RememberedXYRect();
  ProgramPreferences.xyPanelRect = {rect.top, rect.left, rect.height, rect.width};
}

void ReportSelfTest(int result) {
  if (result == 0) return;
  const std::string text = FormatCatalogue(kNumberedErrorFormat, Msg::Error, result);
  MessagePopup(CatalogueText(Msg::SelfTestErrorTitle), text.c_str());
}

}  // namespace

int StartProgram() {
  InstrumentSession& instrument = TheInstrument;
  AcquisitionRunning = 0;
  viOpenDefaultRM(&instrument.searchResourceManager);
  ConnectMessageSinks();

  const std::string firstRunPath = StateFilePath(kFirstRunFileName);
  const FirstRunState firstRun = ReadFirstRunFile(firstRunPath);
  int language = firstRun.language;
  if (firstRun.firstRunDone == 0) language = RunFirstRunSequence(firstRunPath, UsbRulesDirectory);
  SetCurrentLanguage(language);

  if (!ShowSplash()) return 1;
  if (!ConnectInstrument(instrument)) return 1;
  SetWaitCursor(1);
  const KeptIdentity identity = KeepIdentity(instrument);

  MainPanelHandle = LoadPanel(0, PanelFileName, MainPanel::Resource);
  SetCtrlVal(MainPanelHandle.load(), MainPanel::VariantMark, instrument.modelNumber == kVariantModel ? 1 : 0);
  LoadPreferences(PreferencesPath(), ProgramMonitor);
  PersistenceOn = LoadField(ProgramPreferences.PersistenceOn);
  RememberXYRectFromPreferences();
  RestoreIdentity(instrument, identity);
  ApplyModelRules(instrument);
  InstallHelpDocument(instrument.identifiedModelNumber);

  // The link stays ours until the first display has started the acquisition.
  int selfTest = 0;
  TakeLink();
  WriteSetup();
  ReadSelfTest(instrument.session, &selfTest);
  AcquisitionRunning = 0;
  PlaceMainPanel();
  FirstDisplay();
  ReleaseLink();
  RemovePopup(0);
  DiscardPanel(Panels.splash);
  Panels.splash = 0;
  SetWaitCursor(0);
  ReportSelfTest(selfTest);
  SetActivePanel(MainPanelHandle.load());
  InstallMainCallback(MainCallBack, nullptr, 0);
  return 0;
}

void FirstDisplay() {
  DiscardMainToolbar();
  const int panel = MainPanelHandle.load();
  ChangeLanguePanelMeas(panel, LoadField(ProgramSetup.referenceChannel));
  BuildMainPanel(panel, TheInstrument.modelNumber);
  DisplayPanel(panel);
  if (AcquisitionRunning.load() == 0) {
    SetWaitCursor(1);
    StartAcquisition();
    SetWaitCursor(0);
  }
  ShowTimebase();
  AjustTrace(panel, EVENT_PANEL_SIZE, nullptr, 0, 0);
}

void QuitProgram(int closeFlag) {
  InstrumentSession& instrument = TheInstrument;
  StoreField(ProgramSetup.ch1LoadedTrace, 0);
  StoreField(ProgramSetup.ch2LoadedTrace, 0);
  StopAcquisition();
  KeepXYRectInPreferences();
  CloseShortcutKeysPanel();
  const int panel = MainPanelHandle.load();
  PanelRect& rect = ProgramPreferences.mainPanelRect;
  GetPanelAttribute(panel, ATTR_TOP, &rect.top);
  GetPanelAttribute(panel, ATTR_LEFT, &rect.left);
  GetPanelAttribute(panel, ATTR_HEIGHT, &rect.height);
  GetPanelAttribute(panel, ATTR_WIDTH, &rect.width);
  if (instrument.session != 0) {
    if (closeFlag == 0) {
      ResetInstrument(instrument.session);
      Delay(1.0);
      CloseInstrument(instrument, &instrument.session, 1);
    } else {
      WriteBytes(instrument.session, "ZC:USED 0\r");
      CloseInstrument(instrument, &instrument.session, 0);
      Delay(7.0);
    }
    StoreField(ProgramPreferences.PersistenceOn, PersistenceOn.load());
    SavePreferences(PreferencesPath());
    WriteFirstRunFile(StateFilePath(kFirstRunFileName), CurrentLanguage());
  }
  HidePanel(panel);
  DiscardPanel(panel);
  MainPanelHandle = 0;
  DiscardMainToolbar();
}

int MainCallBack(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
                 int /*eventData2*/) {
  if (event == EVENT_END_TASK) AjustTrace(MainPanelHandle.load(), EVENT_CLOSE, nullptr, 0, 0);
  return 0;
}

void FinishProgram() {
  if (TheInstrument.searchResourceManager != 0) viClose(TheInstrument.searchResourceManager);
  TheInstrument.searchResourceManager = 0;
}

void BindProgramCallbacks() {
  RegisterCallback("AjustTrace", PanelCallback(AjustTrace));
  RegisterCallback("ControleScope", CtrlCallback(ControleScope));
  RegisterCallback("Reglage", CtrlCallback(Reglage));
  RegisterCallback("RefVoie", CtrlCallback(RefVoie));
  RegisterCallback("RefCallback", CtrlCallback(RefCallback));
  RegisterCallback("ControleTrace", CtrlCallback(ControleTrace));
  RegisterCallback("ReglageMem", CtrlCallback(ReglageMem));
  RegisterCallback("ControlReglageMem", CtrlCallback(ControlReglageMem));
  RegisterCallback("AjustTraceXY", PanelCallback(AjustTraceXY));
  RegisterCallback("ReglageXY", CtrlCallback(ReglageXY));
  RegisterCallback("RefVoieXY", CtrlCallback(RefVoieXY));
  RegisterCallback("PanelAstuce", PanelCallback(PanelAstuce));
  ConnectDisplayToAcquisition();
  InstallAcquisitionHooks();
  InstallPanelViews();
  RegisterMenuCallbacks();
  RegisterPrintDialogCallbacks();
  RegisterAboutCallbacks();
  SetShutdownHandler([] { QuitProgram(0); });
  SetLanguageChangeHandler(ChangeLanguage);
  SetSaveTraceHandler([] { SaveTraceMenuItem(ProgramPreferences.tracePath, sizeof ProgramPreferences.tracePath); });
}

int RunProgram() {
  BindProgramCallbacks();
  const int status = StartProgram();
  if (status != 0) {
    FinishProgram();
    return status;
  }
  RunUserInterface();
  FinishProgram();
  return 0;
}
