// Reports on paper or in a PDF file through Qt's printer (user-interface thread).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Frontend.h"

namespace uiqt {

int PrintReport(const uimodel::PrintRequest& request);
std::vector<std::string> PrinterNames(std::string* defaultPrinter);

}  // namespace uiqt
