// Messages the preferences and setup files have to show the user. The loader
// only names them; start-up installs a sink that looks the title and text up
// in the message catalogue (current language) and shows a message box.
#pragma once

#include <functional>

enum class PreferencesMessage {
  ConfigurationNotFound,          // "Configuration file not found." under "FILE ERROR"
  WrongIniFile,                   // "Wrong '.ini' file." under "FILE ERROR"
  WrongConfigurationFile,         // "Wrong configuration file" under "CHECKSUM ERROR"
  CannotCreateIniFile,            // "Cannot create '.ini' file." under "FILE ERROR"
  CannotCreateConfigurationFile,  // "Cannot create configuration file '*.cfg'." under "FILE ERROR"
};

using PreferencesMessageSink = std::function<void(PreferencesMessage)>;

// Replaces the sink; an empty sink drops the messages. Loading and saving
// run on the user-interface thread, which is also where the sink is set.
void SetPreferencesMessageSink(PreferencesMessageSink sink);
void ReportPreferencesMessage(PreferencesMessage message);
