#include "app/PreferencesMessageTexts.h"

#include <array>

namespace {

struct Entry {
  PreferencesMessage message;
  MessageBoxEntries entries;
};

constexpr std::array kEntries = {
    Entry{PreferencesMessage::ConfigurationNotFound, {Msg::FileErrorTitle, Msg::ConfigurationFileNotFound}},
    Entry{PreferencesMessage::WrongIniFile, {Msg::FileErrorTitle, Msg::WrongIniFile}},
    Entry{PreferencesMessage::WrongConfigurationFile, {Msg::ChecksumErrorTitle, Msg::WrongConfigurationFile}},
    Entry{PreferencesMessage::CannotCreateIniFile, {Msg::FileErrorTitle, Msg::CannotCreateIniFile}},
    Entry{PreferencesMessage::CannotCreateConfigurationFile,
          {Msg::FileErrorTitle, Msg::CannotCreateConfigurationFile}},
};

}  // namespace

MessageBoxEntries CatalogueEntries(PreferencesMessage message) {
  for (const Entry& entry : kEntries)
    if (entry.message == message) return entry.entries;
  return {Msg::FileErrorTitle, Msg::WrongIniFile};
}
