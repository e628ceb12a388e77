#include "app/HelpDocument.h"

#include <filesystem>
#include <string>

#include "catalogue/MessageCatalogue.h"
#include "app/SplashText.h"
#include "platform/os/ProjectDir.h"

void InstallHelpDocument(int modelNumber) {
  namespace fs = std::filesystem;
  // Beside the state files: an installed program's directory is read-only.
  const fs::path target = StateFilePath(std::string(kProgramName) + ".pdf");
  std::error_code error;
  fs::remove(target, error);
  const std::string source = modelNumber == 71
                                 ? std::string(kProgramName) + "_MAREVO.pdf"
                                 : std::string(kProgramName) + "_" + LanguageCode(CurrentLanguage()) + ".pdf";
  fs::copy_file(ResolveResourcePath("help/" + source), target, fs::copy_options::overwrite_existing, error);
}
