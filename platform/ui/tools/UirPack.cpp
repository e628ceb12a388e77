// Build step: joins the layout sources into the panel file the program loads,
// refusing a malformed layout so that mistakes stop the build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/PanelFile.h"

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.uir SOURCE.json...\n", argv[0]);
    return 2;
  }
  std::vector<std::string> sources;
  for (int i = 2; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "%s: cannot be read\n", argv[i]);
      return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    sources.push_back(text.str());
  }
  std::string merged, error;
  if (uimodel::MergePanelSources(sources, &merged, &error) < 0) {
    std::fprintf(stderr, "layout error: %s\n", error.c_str());
    return 1;
  }
  const std::filesystem::path output(argv[1]);
  const std::filesystem::path temporary = output.string() + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << merged << '\n';
    if (!file) {
      std::fprintf(stderr, "%s: cannot be written\n", temporary.c_str());
      return 1;
    }
  }
  std::error_code failure;
  std::filesystem::rename(temporary, output, failure);
  if (failure) {
    std::fprintf(stderr, "%s: %s\n", output.c_str(), failure.message().c_str());
    return 1;
  }
  return 0;
}
