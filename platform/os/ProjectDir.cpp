#include "platform/os/ProjectDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {

std::mutex overrideMutex;
std::string overrideDirectory;

std::string UserConfigDirectory() {
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

std::string GetExecutableDir() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error).string();
  return self.parent_path().string();
}

int GetProjectDir(std::string* directory) {
  if (directory == nullptr) return -1;
  {
    std::lock_guard lock(overrideMutex);
    if (!overrideDirectory.empty()) {
      *directory = overrideDirectory;
      return 0;
    }
  }
  *directory = GetExecutableDir();
  return 0;
}

void SetProjectDirOverride(const std::string& directory) {
  std::string cleaned = directory;
  while (cleaned.size() > 1 && cleaned.back() == '/') cleaned.pop_back();
  std::lock_guard lock(overrideMutex);
  overrideDirectory = cleaned;
}

std::string ResolveResourcePath(const std::string& name) {
  const std::filesystem::path given(name);
  if (given.is_absolute()) return name;
  std::string projectDir;
  GetProjectDir(&projectDir);
  const std::filesystem::path inProject = std::filesystem::path(projectDir) / given;
  std::error_code error;
  if (std::filesystem::exists(inProject, error)) return inProject.string();
  const std::filesystem::path besideExecutable = std::filesystem::path(GetExecutableDir()) / given;
  if (std::filesystem::exists(besideExecutable, error)) return besideExecutable.string();
  return inProject.string();
}

bool IsWritableDirectory(const std::string& directory) { return access(directory.c_str(), W_OK) == 0; }

std::string StateFilePath(const std::string& name) {
  std::string directory;
  GetProjectDir(&directory);
  if (!IsWritableDirectory(directory)) {
    directory = UserConfigDirectory();
    std::error_code error;
    std::filesystem::create_directories(directory, error);
  }
  return (std::filesystem::path(directory) / name).string();
}
