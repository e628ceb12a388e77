// The first run's driver step: the rule installed, or found installed by a package.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

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

// A package's rule in the system's rules directory leaves the first run nothing to install.
class PackagedRuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orni-packaged-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override {
    SetPackagedRulesDirectories({});
    fs::remove_all(dir_);
  }
  fs::path dir_;
};

TEST_F(PackagedRuleTest, OnlyTheRuleFileItselfCounts) {
  const std::vector<std::string> directories = {(dir_ / "missing").string(), (dir_ / "etc").string(),
                                                (dir_ / "lib").string()};
  EXPECT_FALSE(UsbRuleInstalledIn(directories));
  fs::create_directories(dir_ / "etc" / "60-kelvarinlab.rules");
  EXPECT_FALSE(UsbRuleInstalledIn(directories)) << "a directory of that name is no rule";
  fs::create_directories(dir_ / "lib");
  std::ofstream(dir_ / "lib" / "60-other.rules") << "\n";
  EXPECT_FALSE(UsbRuleInstalledIn(directories));
  std::ofstream(dir_ / "lib" / "60-kelvarinlab.rules") << "\n";
  EXPECT_TRUE(UsbRuleInstalledIn(directories)) << "found in the last directory";
}

TEST_F(PackagedRuleTest, SystemDirectoriesComeBackAfterATestsOwn) {
  const std::vector<std::string> system = PackagedRulesDirectories();
  for (const char* usual : {"/usr/lib/udev/rules.d", "/lib/udev/rules.d"})
    EXPECT_EQ(std::count(system.begin(), system.end(), usual), 1) << usual;
  SetPackagedRulesDirectories({dir_.string()});
  EXPECT_EQ(PackagedRulesDirectories(), std::vector<std::string>{dir_.string()});
  EXPECT_FALSE(InstrumentDriverAlreadyInstalled());
  std::ofstream(dir_ / "60-kelvarinlab.rules") << "\n";
  EXPECT_TRUE(InstrumentDriverAlreadyInstalled());
  SetPackagedRulesDirectories({});
  EXPECT_EQ(PackagedRulesDirectories(), system);
}

TEST_F(PackagedRuleTest, DirectoriesChangeWhileAnotherThreadLooks) {
  std::ofstream(dir_ / "60-kelvarinlab.rules") << "\n";
  const std::vector<std::string> own = {dir_.string()};
  const std::vector<std::string> system = PackagedRulesDirectories();
  std::thread setter([&own] {
    for (int round = 0; round < 200; ++round) SetPackagedRulesDirectories(round % 2 ? own : std::vector<std::string>{});
  });
  for (int round = 0; round < 200; ++round) {
    const std::vector<std::string> seen = PackagedRulesDirectories();
    EXPECT_TRUE(seen == own || seen == system);
  }
  setter.join();
}

}  // namespace
