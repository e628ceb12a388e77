#include "panel/SaveTrace.h"

#include <cstring>

#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "display/Notice.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "link/TraceExport.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr const char* kTextFiles = "*.txt";

void ReportExportFailure(TraceExportResult result) {
  if (result == TraceExportResult::Written) return;
  const Msg text = result == TraceExportResult::CannotCreate ? Msg::CannotCreateFile : Msg::FileLoadError;
  MessagePopup(CatalogueText(Msg::FileErrorTitle), CatalogueText(text));
}

// The directory is kept only when it fits the field whole: a cut directory
// would open the next dialog somewhere else.
void RememberDirectory(const std::string& fileName, char* tracePath, std::size_t size) {
  const std::string directory = DirectoryOf(fileName);
  if (directory.empty() || directory.size() >= size) return;
  std::memcpy(tracePath, directory.c_str(), directory.size() + 1);
}

}  // namespace

std::string DirectoryOf(const std::string& fileName) {
  const std::size_t slash = fileName.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : fileName.substr(0, slash);
}

void ExportTrace(const std::string& path, int channel) {
  TraceExportResult result = TraceExportResult::TransferFailed;
  {
    LinkOwnership link;
    SetWaitCursor(1);
    ShowNotice(MainPanelHandle.load(), CatalogueText(Msg::WaitTitle), CatalogueText(Msg::LoadingSamples));
    result = ExportTraceFile(TheInstrument.session, TheInstrument.VoltsPerDivTable, path, channel);
    RemoveNotice();
    SetWaitCursor(0);
  }
  // Outside the link: the message waits for the user.
  ReportExportFailure(result);
}

void SaveTraceMenuItem(char* tracePath, std::size_t size) {
  if (tracePath == nullptr || size == 0) return;
  // The field may come from a damaged preferences file.
  const std::string startDirectory(tracePath, strnlen(tracePath, size));
  std::string chosen;
  const int selected = FileSelectPopup(startDirectory.c_str(), kTextFiles, kTextFiles,
                                       CatalogueText(Msg::SaveDialogTitle), VAL_SAVE_BUTTON, 0, 1, 1, 1, &chosen);
  if (selected == VAL_NO_FILE_SELECTED || chosen.empty()) return;

  const int button =
      GenericMessagePopup(CatalogueText(Msg::SaveTrace), CatalogueText(Msg::ChooseChannel), "CH1", "CH2");
  const int channel = button - 1;
  if (channel == 0 || channel == 1) ExportTrace(chosen, channel);
  RememberDirectory(chosen, tracePath, size);
}
