#include "panel/PrintJob.h"

#include <cstdio>

#include "catalogue/ProgramIdentity.h"
#include "platform/os/ProjectDir.h"
#include "platform/ui/UserInterface.h"

namespace {

// The picture goes through this file because the report reads pictures from files.
constexpr const char* kPictureFileName = "tempBMP.bbb";
// Margins in hundredths of an inch, so that repeated widening adds no rounding error.
constexpr int kFirstMarginHundredths = 125;
constexpr int kMarginStepHundredths = 20;
constexpr int kWidestMarginHundredths = 300;
constexpr int kHeaderFooterPointSize = 10;
constexpr int kMarginSides[] = {kNIReportAttrTopMargin, kNIReportAttrLeftMargin, kNIReportAttrBottomMargin,
                                kNIReportAttrRightMargin};

void SetMargins(NIReportHandle report, double margin) {
  for (const int side : kMarginSides) NIReport_SetReportAttribute(report, side, margin);
}

void DescribeReport(NIReportHandle report, const PrintJob& job) {
  NIReport_SetReportAttribute(report, kNIReportAttrImageScaling, kNIReportFitToPage);
  NIReport_SetReportAttribute(report, kNIReportAttrPrintDialog, 0);  // the printer is chosen in our dialog
  double margin = 0.0;
  PrintMarginForAttempt(0, &margin);
  SetMargins(report, margin);
  NIReport_SetReportAttribute(report, kNIReportAttrOrientation, job.portrait ? kNIReportPortrait : kNIReportLandscape);
  NIReport_SetReportAttribute(report, kNIReportAttrHeaderLeft, job.title.c_str());
  NIReport_SetReportAttribute(report, kNIReportAttrHeaderRight, kNIReportShortDate);
  NIReport_SetReportAttribute(report, kNIReportAttrFooterLeft, ProgramTitle().c_str());
  NIReport_SetReportAttribute(report, kNIReportAttrFooterRight, kNIReportPageOfCount);
  NIReport_SetTextAttribute(report, kNIReportTextAttrPointSize, kHeaderFooterPointSize);
}

// The whole panel, also what lies outside the screen; the report keeps its own
// copy, so the file goes at once.
void AppendPanelPicture(NIReportHandle report, int panel) {
  int bitmap = 0;
  if (GetPanelDisplayBitmap(panel, VAL_FULL_PANEL, &bitmap) < 0) return;
  const std::string file = StateFilePath(kPictureFileName);
  if (SaveBitmapToBMPFile(bitmap, file.c_str()) >= 0) NIReport_AppendImageFile(report, file.c_str());
  DiscardBitmap(bitmap);
  std::remove(file.c_str());
}

int PrintWithWideningMargins(NIReportHandle report, const std::string& printer) {
  int status = NIReport_Print(report, printer.c_str());
  double margin = 0.0;
  for (int attempt = 1; status == kNIReportErrMarginsTooSmall && PrintMarginForAttempt(attempt, &margin); ++attempt) {
    SetMargins(report, margin);
    status = NIReport_Print(report, printer.c_str());
  }
  return status;
}

}  // namespace

bool PrintMarginForAttempt(int attempt, double* margin) {
  if (attempt < 0 || attempt > (kWidestMarginHundredths - kFirstMarginHundredths) / kMarginStepHundredths) return false;
  *margin = (kFirstMarginHundredths + kMarginStepHundredths * attempt) / 100.0;
  return true;
}

int PrintPanels(const PrintJob& job) {
  if (job.panels.empty()) return kNIReportErrEmpty;
  NIReportHandle report = 0;
  int status = NIReport_New(&report);
  if (status < 0) return status;
  DescribeReport(report, job);
  for (std::size_t page = 0; page < job.panels.size(); ++page) {
    if (page > 0) NIReport_NewPage(report);
    AppendPanelPicture(report, job.panels[page]);
  }
  status = PrintWithWideningMargins(report, job.printer);
  NIReport_Discard(report);
  return status;
}
