#include "app/DriverInstall.h"

#include <filesystem>

#include "platform/os/System.h"
#include "platform/os/ProjectDir.h"

namespace {

constexpr const char* kUdevRuleName = "60-kelvarinlab.rules";

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
