#include "app/StateFiles.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/os/ProjectDir.h"

namespace {

std::string FallbackDirectory() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path base;
  if (config && *config) {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home && *home ? home : "/tmp") / ".config";
  }
  return (base / "ornikelvarinlab").string();
}

}  // namespace

std::string StateFilePath(const std::string& name) {
  std::string directory;
  GetProjectDir(&directory);
  if (access(directory.c_str(), W_OK) != 0) {
    directory = FallbackDirectory();
    std::error_code error;
    std::filesystem::create_directories(directory, error);
  }
  return (std::filesystem::path(directory) / name).string();
}
