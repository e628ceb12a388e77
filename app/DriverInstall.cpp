#include "app/DriverInstall.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "platform/os/System.h"
#include "platform/os/ProjectDir.h"

namespace {

#ifndef ORNI_UDEV_RULES_DIR
#define ORNI_UDEV_RULES_DIR "/usr/lib/udev/rules.d"
#endif

constexpr const char* kUdevRuleName = "60-kelvarinlab.rules";

std::mutex packagedMutex;
std::vector<std::string> packagedOverride;

std::vector<std::string> SystemPackagedDirectories() {
  std::vector<std::string> directories = {ORNI_UDEV_RULES_DIR};
  for (const char* usual : {"/usr/lib/udev/rules.d", "/lib/udev/rules.d"})
    if (std::find(directories.begin(), directories.end(), usual) == directories.end()) directories.emplace_back(usual);
  return directories;
}

}  // namespace

bool InstallUsbDriver(const std::string& applicationDirectory, const std::string& rulesDirectory) {
  namespace fs = std::filesystem;
  if (!IsWritableDirectory(rulesDirectory)) return false;
  fs::path source = fs::path(applicationDirectory) / "driver_USB" / "linux" / kUdevRuleName;
  std::error_code error;
  if (!fs::exists(source, error)) source = ResolveResourcePath(std::string("driver_USB/linux/") + kUdevRuleName);
  if (!fs::copy_file(source, fs::path(rulesDirectory) / kUdevRuleName, fs::copy_options::overwrite_existing, error))
    return false;
  if (rulesDirectory == SystemRulesDirectory()) {
    RunCommandAndWait({"udevadm", "control", "--reload-rules"});
    RunCommandAndWait({"udevadm", "trigger", "--subsystem-match=usb"});
  }
  return true;
}

std::string LegacyDriverDescriptionPath(const std::string& applicationDirectory) {
  return applicationDirectory + "\\driver_USB\\XP-2K\\ArdentisKVX.inf";
}

std::string DriverInstallerCommand(const std::string& applicationDirectory) {
  return "rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 " + applicationDirectory +
         "\\driver_USB\\Vista-7\\ArdentisKVX.inf";
}

bool InstallInstrumentDriver(const std::string& applicationDirectory, const std::string& rulesDirectory) {
#ifdef _WIN32
  if (GetOsVersion().major < 6) {
    std::error_code error;
    return std::filesystem::copy_file(LegacyDriverDescriptionPath(applicationDirectory),
                                      std::filesystem::path(SystemDirectory()) / "ArdentisKVX.inf",
                                      std::filesystem::copy_options::overwrite_existing, error);
  }
  return RunCommandAndWait({"cmd.exe", "/c", DriverInstallerCommand(applicationDirectory)}) == 0;
#else
  return InstallUsbDriver(applicationDirectory, rulesDirectory);
#endif
}

std::vector<std::string> PackagedRulesDirectories() {
  {
    std::lock_guard lock(packagedMutex);
    if (!packagedOverride.empty()) return packagedOverride;
  }
  return SystemPackagedDirectories();
}

void SetPackagedRulesDirectories(std::vector<std::string> directories) {
  std::lock_guard lock(packagedMutex);
  packagedOverride = std::move(directories);
}

bool UsbRuleInstalledIn(const std::vector<std::string>& directories) {
  std::error_code error;
  for (const std::string& directory : directories)
    if (std::filesystem::is_regular_file(std::filesystem::path(directory) / kUdevRuleName, error)) return true;
  return false;
}

bool InstrumentDriverAlreadyInstalled() {
#ifdef _WIN32
  return false;
#else
  return UsbRuleInstalledIn(PackagedRulesDirectories());
#endif
}
