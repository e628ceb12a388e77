// The USB driver descriptions copied beside the program cover both models.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "unit/datafiles/DataFilesTestSupport.h"

namespace {

TEST(DriverFiles, WindowsDescriptionsAndTheLinuxRuleNameBothModels) {
  const std::vector<std::string> windows = {
      "Signature   = \"$Windows NT$\"", "USB\\VID_2177&PID_1004", "USB\\VID_2177&PID_1002", "Needs   = WINUSB.NT",
      "DeviceInterfaceGUIDs",          "\"KVX162 oscilloscope\"", "\"KVX112 oscilloscope\""};
  const std::pair<const char*, std::vector<std::string>> files[] = {
      {"XP-2K/ArdentisKVX.inf", windows},
      {"Vista-7/ArdentisKVX.inf", windows},
      {"Vista-7/ArdentisKVX.inf", {"\n[DefaultInstall]\n"}},  // where the first run calls the installer
      {"linux/60-kelvarinlab.rules",
       {"ATTR{idVendor}==\"2177\", ATTR{idProduct}==\"1004\"", "ATTR{idVendor}==\"2177\", ATTR{idProduct}==\"1002\""}},
  };
  for (const auto& [file, needles] : files) {
    const std::string text = datafiles::ReadFile(datafiles::BuildDirectory() / "driver_USB" / file);
    for (const std::string& needle : needles) EXPECT_NE(text.find(needle), std::string::npos) << file << ": " << needle;
  }
}

}  // namespace
