// Reading what the program printed into PDF files, with the poppler tools.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testsupport {

// What `command` writes on its standard output; "" when it cannot run.
inline std::string CommandOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    ::pclose(pipe);
  }
  return output;
}

// The page count pdfinfo reports; -1 when it reports none.
inline int PdfPageCount(const std::string& pdf) {
  const std::string info = CommandOutput("pdfinfo '" + pdf + "' 2>&1");
  const std::size_t pages = info.find("Pages:");
  return pages == std::string::npos ? -1 : std::atoi(info.c_str() + pages + 6);
}

}  // namespace testsupport
