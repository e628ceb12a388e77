// The first run's driver step.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/DriverInstall.h"

namespace {

namespace fs = std::filesystem;

TEST(DriverInstall, UdevRuleGoesWhereItMayBeWritten) {
  char pattern[] = "/tmp/orni-driver-XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  fs::create_directories(dir / "app" / "driver_USB" / "linux");
  std::ofstream(dir / "app" / "driver_USB" / "linux" / "60-kelvarinlab.rules") << "SUBSYSTEM==\"usb\"\n";
  fs::create_directories(dir / "rules");
  EXPECT_TRUE(InstallUsbDriver((dir / "app").string(), (dir / "rules").string()));
  EXPECT_TRUE(fs::exists(dir / "rules" / "60-kelvarinlab.rules"));
  EXPECT_FALSE(InstallUsbDriver((dir / "app").string(), (dir / "missing").string()));
  if (geteuid() != 0) {  // root writes anywhere
    fs::create_directories(dir / "locked");
    chmod((dir / "locked").c_str(), 0555);
    EXPECT_FALSE(InstallUsbDriver((dir / "app").string(), (dir / "locked").string()));
  }
  fs::remove_all(dir);
}

TEST(DriverInstall, WindowsFormsNameTheDriverDescription) {
  EXPECT_EQ(LegacyDriverDescriptionPath("C:\\Program Files\\ORNIKELVARINLAB"),
            "C:\\Program Files\\ORNIKELVARINLAB\\driver_USB\\XP-2K\\ArdentisKVX.inf");
  EXPECT_EQ(DriverInstallerCommand("C:\\Scope"),
            "rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 C:\\Scope\\driver_USB\\Vista-7\\ArdentisKVX.inf");
}

}  // namespace
