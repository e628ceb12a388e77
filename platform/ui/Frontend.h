// What a front-end (the Qt one, or the headless one of the tests) provides to
// the model. Internal to platform/ui.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Model.h"

namespace uimodel {

struct FileSelectRequest {
  std::string defaultDirectory, defaultFileSpec, fileTypeList, title;
  int buttonLabel = VAL_OK_BUTTON;  // VAL_SAVE_BUTTON selects save mode
  bool restrictDirectory = false, restrictExtension = false, allowCancel = true, allowMakeDirectory = false;
};

struct GenericPopupRequest {
  std::string title, text;
  std::vector<std::string> buttons;
  int enterButton = 1, escapeButton = 1;  // 1-based
};

struct MonitorInfo {
  int top = 0, left = 0, height = 1080, width = 1920;
};

class Frontend {
 public:
  virtual ~Frontend() = default;
  // Called from any thread after the model changed; must never block.
  // `urgent` is false for changes that may wait for the next redraw (delayed drawing).
  virtual void Wake(bool urgent) = 0;
  virtual bool IsUiThread() const = 0;
  // Mirrors every pending change now (on the user-interface thread).
  virtual void ProcessDrawEvents() = 0;
  virtual int RunUserInterface() = 0;
  virtual void QuitUserInterface(int code) = 0;
  // Handles pending input once; with `wait`, waits for some. False when nothing can come.
  virtual bool PumpEvents(bool wait) = 0;
  // Runs `call` later on the user-interface thread.
  virtual void PostDeferredCall(std::function<void()> call) = 0;

  virtual int MessagePopup(const std::string& title, const std::string& text) = 0;
  virtual int GenericMessagePopup(const GenericPopupRequest& request) = 0;
  virtual int FileSelectPopup(const FileSelectRequest& request, std::string* path) = 0;

  virtual std::optional<Bitmap> CapturePanel(int panel, int scope) = 0;
  virtual int ClipboardPutBitmap(const Bitmap& bitmap) = 0;
  // Monitors are numbered from 1.
  virtual std::vector<MonitorInfo> Monitors() = 0;
  virtual int MonitorOf(int panel) = 0;
};

// The front-end in use; the headless one until another is installed.
Frontend& CurrentFrontend();
// Installs `frontend` (kept alive by the caller until replaced); nullptr puts the headless one back.
void InstallFrontend(Frontend* frontend);

// Draws the panel's background and the boxes of its visible controls: the
// picture of a panel when no toolkit is there to render it.
Bitmap SchematicPanelPicture(int panel);

}  // namespace uimodel
