// The USB driver descriptions copied beside the program cover both models.
#include <string>

#include <gtest/gtest.h>

#include "unit/datafiles/DataFilesTestSupport.h"

namespace {

TEST(DriverFiles, BothWindowsDescriptionsNameBothModelsForWinUsb) {
  for (const char* folder : {"XP-2K", "Vista-7"}) {
    SCOPED_TRACE(folder);
    const std::string inf = datafiles::ReadFile(datafiles::BuildDirectory() / "driver_USB" / folder / "ArdentisKVX.inf");
    EXPECT_NE(inf.find("Signature   = \"$Windows NT$\""), std::string::npos);
    EXPECT_NE(inf.find("USB\\VID_2177&PID_1004"), std::string::npos);
    EXPECT_NE(inf.find("USB\\VID_2177&PID_1002"), std::string::npos);
    EXPECT_NE(inf.find("Needs   = WINUSB.NT"), std::string::npos);
    EXPECT_NE(inf.find("DeviceInterfaceGUIDs"), std::string::npos);
    EXPECT_NE(inf.find("\"KVX162 oscilloscope\""), std::string::npos);
    EXPECT_NE(inf.find("\"KVX112 oscilloscope\""), std::string::npos);
  }
}

TEST(DriverFiles, TheInstallerEntryExistsWhereTheFirstRunCallsIt) {
  const std::string inf = datafiles::ReadFile(datafiles::BuildDirectory() / "driver_USB" / "Vista-7" / "ArdentisKVX.inf");
  EXPECT_NE(inf.find("\n[DefaultInstall]\n"), std::string::npos);
}

TEST(DriverFiles, TheLinuxAccessRuleCoversBothModels) {
  const std::string rule = datafiles::ReadFile(datafiles::BuildDirectory() / "driver_USB" / "linux" / "60-kelvarinlab.rules");
  EXPECT_NE(rule.find("ATTR{idVendor}==\"2177\", ATTR{idProduct}==\"1004\""), std::string::npos);
  EXPECT_NE(rule.find("ATTR{idVendor}==\"2177\", ATTR{idProduct}==\"1002\""), std::string::npos);
}

}  // namespace
