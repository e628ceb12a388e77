// The panel file: JSON declaring panels (with their controls) and menu bars.
// Internal to platform/ui; the program loads through LoadPanel / LoadMenuBar.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Model.h"

namespace uimodel {

struct PanelFileContent {
  std::vector<Panel> panels;      // handles 0: templates
  std::vector<MenuBar> menuBars;
};

// Parses and checks a whole file: unknown keys, duplicate names, ids or resource
// numbers, and bad values make it malformed (UIE_BAD_FILE_FORMAT, reason in `error`).
// Texts are UTF-8 in the file and Latin-1 in the model.
int ParsePanelFile(const std::string& text, PanelFileContent* content, std::string* error);
// UIE_FILE_NOT_FOUND when the file cannot be read.
int ReadPanelFile(const std::string& path, PanelFileContent* content, std::string* error);
// Joins several layout sources into one panel file, checking the result.
int MergePanelSources(const std::vector<std::string>& sources, std::string* merged, std::string* error);

// Latin-1 bytes from UTF-8; characters beyond Latin-1 become '?'.
std::string Utf8ToLatin1(const std::string& utf8);

}  // namespace uimodel
