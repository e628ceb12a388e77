#include "platform/os/ProjectDir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {

std::mutex overrideMutex;
std::string overrideDirectory;

constexpr const char* kInstalledResources = "../share/ornikelvarinlab";
constexpr const char* kConfigSubdirectory = "ornikelvarinlab";

std::filesystem::path HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* entry = getpwuid(getuid());
  if (entry && entry->pw_dir && *entry->pw_dir) return entry->pw_dir;
  return "/tmp";
}

}  // namespace

std::string UserConfigDirectory() {
  // A relative value is invalid by the base-directory rules and is ignored.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::filesystem::path base =
      config && config[0] == '/' ? std::filesystem::path(config) : HomeDirectory() / ".config";
  return (base / kConfigSubdirectory).string();
}

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

std::vector<std::string> ResourceDirectories(const std::string& projectDir, const std::string& executableDir) {
  const std::filesystem::path installed = std::filesystem::path(executableDir) / kInstalledResources;
  return {projectDir, executableDir, installed.lexically_normal().string()};
}

std::string FindResource(const std::string& name, const std::vector<std::string>& directories) {
  if (std::filesystem::path(name).is_absolute() || directories.empty()) return name;
  std::error_code error;
  for (const std::string& directory : directories) {
    const std::filesystem::path candidate = std::filesystem::path(directory) / name;
    if (std::filesystem::exists(candidate, error)) return candidate.string();
  }
  return (std::filesystem::path(directories.front()) / name).string();
}

std::string ResolveResourcePath(const std::string& name) {
  std::string projectDir;
  GetProjectDir(&projectDir);
  return FindResource(name, ResourceDirectories(projectDir, GetExecutableDir()));
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
