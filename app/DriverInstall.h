// The first run's driver step: what lets the program reach the instrument
// over USB. On Linux that is a udev rule giving the user access to the
// device; a Windows build installs the driver description instead.
#pragma once

#include <string>
#include <vector>

// Installs driver_USB/linux's udev rule into `rulesDirectory` when it is
// writable, and reloads the rules when that is the system's directory.
// True when the rule was installed.
bool InstallUsbDriver(const std::string& applicationDirectory, const std::string& rulesDirectory);

// The Windows forms: the driver description copied into the Windows
// directory on systems older than version 6, and the installer command
// run on the others.
std::string LegacyDriverDescriptionPath(const std::string& applicationDirectory);
std::string DriverInstallerCommand(const std::string& applicationDirectory);

// The step for the platform the program runs on.
bool InstallInstrumentDriver(const std::string& applicationDirectory, const std::string& rulesDirectory);

// A package puts the access rule in the system's udev rules directory, so
// its first run has nothing to install. These are the directories a package
// uses (the configured one first); tests put their own in their place, and
// an empty list brings the system's back.
std::vector<std::string> PackagedRulesDirectories();
void SetPackagedRulesDirectories(std::vector<std::string> directories);
// True when one of `directories` holds the access rule.
bool UsbRuleInstalledIn(const std::vector<std::string>& directories);
// True when the driver step has nothing to do on this system.
bool InstrumentDriverAlreadyInstalled();
