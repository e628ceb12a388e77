#include "app/SetupFile.h"

#include <algorithm>
#include <cstring>

#include "app/PreferencesMessages.h"
#include "link/SetupRecordCheck.h"

namespace {

// The fields that describe the instrument's network connection travel together.
struct NetworkFields {
  char ipAddress[sizeof InstrumentSetup::ipAddress];
  std::int32_t networkWord;
  char netMask[sizeof InstrumentSetup::netMask];
  char gateway[sizeof InstrumentSetup::gateway];
};

NetworkFields TakeNetworkFields(const InstrumentSetup& setup) {
  NetworkFields fields;
  std::memcpy(fields.ipAddress, setup.ipAddress, sizeof fields.ipAddress);
  fields.networkWord = setup.networkWord;
  std::memcpy(fields.netMask, setup.netMask, sizeof fields.netMask);
  std::memcpy(fields.gateway, setup.gateway, sizeof fields.gateway);
  return fields;
}

void PutNetworkFields(const NetworkFields& fields, InstrumentSetup& setup) {
  std::memcpy(setup.ipAddress, fields.ipAddress, sizeof fields.ipAddress);
  setup.networkWord = fields.networkWord;
  std::memcpy(setup.netMask, fields.netMask, sizeof fields.netMask);
  std::memcpy(setup.gateway, fields.gateway, sizeof fields.gateway);
}

// The record a well-formed file holds, or nullopt.
std::optional<InstrumentSetup> RecordOf(std::span<const std::uint8_t> file) {
  if (file.size() != kSetupFileSize) return std::nullopt;
  InstrumentSetup record;
  std::memcpy(&record, file.data(), kSetupSize);
  if (record.checksum != RecordChecksum(record) || !SetupRecordUsable(record)) return std::nullopt;
  return record;
}

}  // namespace

std::string SetupFilePath(const std::string& preferencesPath) {
  return preferencesPath + std::string(kSetupFileSuffix);
}

bool LoadSetupFile(std::optional<std::span<const std::uint8_t>> file, bool keepNetworkFields, InstrumentSetup& setup) {
  if (!file) {
    ReportPreferencesMessage(PreferencesMessage::ConfigurationNotFound);
    return false;
  }
  const std::optional<InstrumentSetup> record = RecordOf(*file);
  if (!record) {
    ReportPreferencesMessage(PreferencesMessage::WrongConfigurationFile);
    return false;
  }
  const NetworkFields network = TakeNetworkFields(setup);
  setup = *record;
  if (keepNetworkFields) PutNetworkFields(network, setup);
  return true;
}

std::array<std::uint8_t, kSetupFileSize> SetupFileBytes(InstrumentSetup& setup) {
  std::array<std::uint8_t, kSetupFileSize> bytes{};
  setup.ch1LoadedTrace = 0;
  setup.ch2LoadedTrace = 0;
  setup.checksum = RecordChecksum(setup);
  std::memcpy(bytes.data(), &setup, kSetupSize);
  std::copy(kSetupFileTrailer.begin(), kSetupFileTrailer.end(), bytes.begin() + kSetupSize);
  return bytes;
}
