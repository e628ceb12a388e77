#include "platform/ui/Popups.h"

#include "platform/ui/Frontend.h"

using namespace uimodel;

int MessagePopup(const char* title, const char* message) {
  return CurrentFrontend().MessagePopup(title != nullptr ? title : "", message != nullptr ? message : "");
}

int GenericMessagePopup(const char* title, const char* message, const char* button1, const char* button2,
                        const char* button3, int enterButton, int escapeButton) {
  GenericPopupRequest request;
  request.title = title != nullptr ? title : "";
  request.text = message != nullptr ? message : "";
  for (const char* button : {button1, button2, button3}) {
    if (button == nullptr) break;
    request.buttons.emplace_back(button);
  }
  if (request.buttons.empty()) return UIE_INVALID_VALUE;
  if (!CurrentFrontend().IsUiThread()) return UIE_NOT_ON_UI_THREAD;
  const int count = static_cast<int>(request.buttons.size());
  request.enterButton = enterButton >= 1 && enterButton <= count ? enterButton : 1;
  request.escapeButton = escapeButton >= 1 && escapeButton <= count ? escapeButton : count;
  return CurrentFrontend().GenericMessagePopup(request);
}

int FileSelectPopup(const char* defaultDirectory, const char* defaultFileSpec, const char* fileTypeList,
                    const char* title, int buttonLabel, int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, std::string* pathName) {
  if (pathName == nullptr) return UIE_NULL_POINTER;
  if (!CurrentFrontend().IsUiThread()) return UIE_NOT_ON_UI_THREAD;
  FileSelectRequest request;
  request.defaultDirectory = defaultDirectory != nullptr ? defaultDirectory : "";
  request.defaultFileSpec = defaultFileSpec != nullptr ? defaultFileSpec : "";
  request.fileTypeList = fileTypeList != nullptr ? fileTypeList : "";
  request.title = title != nullptr ? title : "";
  request.buttonLabel = buttonLabel;
  request.restrictDirectory = restrictDirectory != 0;
  request.restrictExtension = restrictExtension != 0;
  request.allowCancel = allowCancel != 0;
  request.allowMakeDirectory = allowMakeDirectory != 0;
  pathName->clear();
  return CurrentFrontend().FileSelectPopup(request, pathName);
}
