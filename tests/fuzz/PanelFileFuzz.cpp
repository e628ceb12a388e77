// The panel file on arbitrary text: it loads or is refused as malformed with
// a reason, and a file that loads also loads when joined alone from its
// source, with the same panels and menu bars.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/ui/PanelFile.h"
#include "platform/ui/UiConstants.h"

using fuzzsupport::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(fuzzsupport::AsText(data, size));
  uimodel::PanelFileContent content;
  std::string error;
  const int status = uimodel::ParsePanelFile(text, &content, &error);
  Require(status == 0 || status == UIE_BAD_FILE_FORMAT);
  if (status != 0) {
    Require(!error.empty());
    return 0;
  }
  std::string merged;
  Require(uimodel::MergePanelSources({text}, &merged, &error) == 0);
  uimodel::PanelFileContent joined;
  Require(uimodel::ParsePanelFile(merged, &joined, &error) == 0);
  Require(joined.panels.size() == content.panels.size() && joined.menuBars.size() == content.menuBars.size());
  Require(uimodel::Utf8ToLatin1(text).size() <= text.size());
  return 0;
}
