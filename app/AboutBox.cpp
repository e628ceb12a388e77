#include "app/AboutBox.h"

#include <atomic>
#include <filesystem>

#include "app/SplashText.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "link/Transport.h"
#include "platform/os/ProjectDir.h"
#include "platform/os/System.h"
#include "platform/os/Timing.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kDistributorModel = 71;
constexpr std::string_view kIdentifyCommand = "\r*IDN?\r";
constexpr std::size_t kIdentityReplyMax = 100;
constexpr int kVisitedLinkColour = 0x800080;
constexpr double kPauseAfterLink = 2.0;
constexpr const char* kMakerSite = "https://www.kelvarinlab.example/";
constexpr const char* kSupportPage = "https://www.kelvarinlab.example/SUPPORT/support.asp";

std::atomic<int> aboutPanel{0};

// The reply's last byte is its terminator; a reply cut at the maximum loses
// its last character in its place. The rest of a cut reply is discarded so
// that the acquisition's next read starts on its own reply.
void ShowInstrumentIdentity(int panel) {
  LinkOwnership link;
  const ViSession session = TheInstrument.session;
  std::string reply;
  const ViStatus status = Query(session, kIdentifyCommand, 0.0, kIdentityReplyMax, reply);
  if (status == VI_SUCCESS_MAX_CNT) viFlush(session, VI_READ_BUF);
  if (reply.empty()) return;
  reply[reply.size() - 1] = '\0';
  SetCtrlVal(panel, SplashPanel::AboutIdentityText, reply.c_str());
}

void SetVisible(int panel, int control, bool visible) {
  SetCtrlAttribute(panel, control, ATTR_VISIBLE, visible ? 1 : 0);
}

// The logo's file is named relative to the application directory.
void ResolveLogoFile(int panel) {
  std::string file;
  GetCtrlAttribute(panel, SplashPanel::MakerLogo, ATTR_IMAGE_FILE, &file);
  if (!file.empty()) SetCtrlAttribute(panel, SplashPanel::MakerLogo, ATTR_IMAGE_FILE, ResolveResourcePath(file));
}

void ShowMakerControls(int panel) {
  const bool maker = TheInstrument.identifiedModelNumber != kDistributorModel;
  for (const int control : {SplashPanel::MakerSiteLink, SplashPanel::SupportLink, SplashPanel::MakerLogo})
    SetVisible(panel, control, maker);
  if (maker) ResolveLogoFile(panel);
}

void FollowLink(int panel, int control, const std::string& address) {
  SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, kVisitedLinkColour);
  ProcessDrawEvents();
  InetLaunchDefaultWebBrowser(address);
  Delay(kPauseAfterLink);
}

void CloseAboutBox(int panel) {
  RemovePopup(0);
  DiscardPanel(panel);
  aboutPanel = 0;
  SetMouseCursor(VAL_DEFAULT_CURSOR);
}

}  // namespace

std::string SupportPageAddress(int language) {
  return std::string(kSupportPage) + (language == 0 ? "?txtLangue=uk" : "?txtLangue=fr") + "&txtProcedure=&onglet=";
}

void OpenManual() { OpenDocumentInDefaultViewer(StateFilePath(std::string(kProgramName) + ".pdf")); }

void OpenAboutBox() {
  // Modal: while it is open no menu reaches here, but a caller in code might.
  int shown = 0;
  if (aboutPanel.load() > 0 && GetPanelAttribute(aboutPanel.load(), ATTR_VISIBLE, &shown) >= 0) return;
  const int panel = LoadPanel(0, PanelFileName, SplashPanel::Resource);
  if (panel < 0) return;
  ShowInstrumentIdentity(panel);
  ShowMakerControls(panel);
  SetVisible(panel, SplashPanel::AboutIdentityLabel, true);
  SetVisible(panel, SplashPanel::AboutIdentityText, true);
  SetCtrlVal(panel, SplashPanel::AboutTitleText, ProgramTitle());
  SetCtrlVal(panel, SplashPanel::AboutDateText, FormatBuildDate(ExecutableDate(), CurrentLanguage()));
  SetVisible(panel, SplashPanel::AboutDateText, true);
  SetMouseCursor(VAL_POINTING_FINGER_CURSOR);
  aboutPanel = panel;
  InstallPopup(panel);
}

void GestionMenuAide(int /*menuBar*/, int menuItem, void* /*callbackData*/, int /*panel*/) {
  LinkOwnership link;
  if (menuItem == MainMenuBar::HelpItem) OpenManual();
  else if (menuItem == MainMenuBar::AboutItem) OpenAboutBox();
}

int Presentation(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
  if (event != EVENT_LEFT_CLICK || panel <= 0 || panel != aboutPanel.load()) return 0;
  switch (control) {
    case SplashPanel::MakerSiteLink: FollowLink(panel, control, kMakerSite); break;
    case SplashPanel::SupportLink: FollowLink(panel, control, SupportPageAddress(CurrentLanguage())); break;
    case SplashPanel::MakerLogo: break;
    default: CloseAboutBox(panel); break;
  }
  return 0;
}

void RegisterAboutCallbacks() {
  RegisterCallback("Presentation", CtrlCallback(Presentation));
  RegisterCallback("GestionMenuAide", MenuCallback(GestionMenuAide));
}

int AboutBoxPanel() { return aboutPanel.load(); }
