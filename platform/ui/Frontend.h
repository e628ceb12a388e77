// What a front-end (the Qt one, or the headless one of the tests) provides to
// the model. Internal to platform/ui.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Model.h"
#include "platform/ui/Report.h"

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

// A picture of a report, read when it was appended.
struct ReportImage {
  std::string fileName;
  int width = 0, height = 0;  // pixels
  std::shared_ptr<const std::vector<unsigned char>> bytes;  // the file's content (BMP or PNG)
};

// Top, left, bottom, right, in inches.
using Margins = std::array<double, 4>;

struct ReportSettings {
  int orientation = kNIReportPortrait;
  Margins margins{kNIReportDefaultMargin, kNIReportDefaultMargin, kNIReportDefaultMargin, kNIReportDefaultMargin};
  std::array<std::string, 3> header, footer;  // left, centre, right; placeholders unexpanded
  int imageScaling = kNIReportFitToPage;
  bool printDialog = false;
  int pointSize = 10;
  bool bold = false;
};

struct PrintRequest {
  std::string printer;  // empty: the default; "*.pdf": a PDF file
  ReportSettings settings;
  std::vector<std::vector<ReportImage>> pages;  // only pages that hold pictures
  std::string date;                             // what kNIReportShortDate becomes
};

struct RectInches {
  double x = 0, y = 0, width = 0, height = 0;
};

// Where things go on one page, in inches from the paper's top-left corner.
struct PageLayout {
  RectInches header, body, footer;  // header and footer fill the top and bottom margins
  std::vector<RectInches> images;
};

// Lays out a page of `pageWidth` x `pageHeight` inches (as oriented): the pictures
// share the body in equal bands, top to bottom, each centred and keeping its aspect
// ratio. Fails with kNIReportErrMarginsTooSmall when a margin is below the
// printer's `minimum`, or kNIReportErrNoRoom.
int LayoutReportPage(const ReportSettings& settings, double pageWidth, double pageHeight, const Margins& minimum,
                     const std::vector<ReportImage>& images, PageLayout* layout);
// A printer name that stands for a PDF file: it ends in ".pdf", in any case.
bool IsPdfFileName(const std::string& printer);
// A header or footer text with its placeholders replaced.
std::string ExpandReportText(const std::string& text, const std::string& date, int page, int pageCount);

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

  // Prints the pages (may show a print dialog); a kNIReportErr status on failure.
  virtual int PrintReport(const PrintRequest& request) = 0;
  // The printers known to the system; `defaultPrinter` empty when there is none.
  virtual std::vector<std::string> Printers(std::string* defaultPrinter) = 0;
};

// The front-end in use; the headless one until another is installed.
Frontend& CurrentFrontend();
// Installs `frontend` (kept alive by the caller until replaced); nullptr puts the headless one back.
void InstallFrontend(Frontend* frontend);

// Draws the panel's background and the boxes of its visible controls: the
// picture of a panel when no toolkit is there to render it.
Bitmap SchematicPanelPicture(int panel);

}  // namespace uimodel
