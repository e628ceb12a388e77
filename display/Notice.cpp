#include "display/Notice.h"

#include <mutex>

#include "catalogue/MessageCatalogue.h"
#include "acquisition/MainPanelHandle.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kNoticeOffsetTop = 130;
constexpr int kNoticeOffsetLeft = 35;

// The notice slot, shown from the acquisition thread as well as the
// user-interface thread.
std::mutex noticeMutex;
int noticePanel = 0;

}  // namespace

void ShowNotice(int parentPanel, const char* title, const char* text) {
  std::lock_guard lock(noticeMutex);
  if (noticePanel != 0) return;
  const int panel = LoadPanel(0, PanelFileName, NoticePanel::Resource);
  if (panel < 0) return;
  int top = 0;
  int left = 0;
  GetPanelAttribute(parentPanel, ATTR_TOP, &top);
  GetPanelAttribute(parentPanel, ATTR_LEFT, &left);
  SetPanelPos(panel, top + kNoticeOffsetTop, left + kNoticeOffsetLeft);
  SetPanelAttribute(panel, ATTR_TITLE, title);
  SetCtrlVal(panel, NoticePanel::NoticeText, text);
  InstallPopup(panel);
  noticePanel = panel;
}

void RemoveNotice() {
  std::lock_guard lock(noticeMutex);
  if (noticePanel == 0) return;
  RemovePopup(0);
  DiscardPanel(noticePanel);
  noticePanel = 0;
}

void ShowCommunicationNotice() {
  ShowNotice(MainPanelHandle.load(), CatalogueText(Msg::CommunicationError), CatalogueText(Msg::NoDialogWithScope));
  SetWaitCursor(1);
}

void RemoveCommunicationNotice() {
  SetWaitCursor(0);
  RemoveNotice();
}
