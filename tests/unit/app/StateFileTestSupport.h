// Shared pieces of the preferences and setup file tests: a scratch directory,
// a recorder for the messages the files report, and sample contents.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "acquisition/ReferenceStore.h"
#include "app/DefaultSetup.h"
#include "app/PreferencesBlock.h"
#include "app/PreferencesMessages.h"
#include "link/InstrumentSetup.h"
#include "support/ScratchDirectory.h"

namespace statefiles {

using Bytes = std::vector<std::uint8_t>;

using testsupport::ScratchDirectory;

// Collects what the loader and saver report while it lives.
class MessageLog {
 public:
  MessageLog() {
    SetPreferencesMessageSink([this](PreferencesMessage message) { messages.push_back(message); });
  }
  ~MessageLog() { SetPreferencesMessageSink({}); }
  std::vector<PreferencesMessage> messages;
};

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes RecordBytes(const InstrumentSetup& setup) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(&setup);
  return Bytes(data, data + sizeof setup);
}

// A usable record that differs from the default one.
inline InstrumentSetup SampleSetup() {
  InstrumentSetup setup = DefaultSetupRecord();
  setup.timebaseIndex = 22;
  setup.effectiveTimebaseIndex = 22;
  setup.ch1VoltsPerDivIndex = 9;
  setup.ch2VoltsPerDivIndex = 11;
  setup.ch1Displayed = 1;
  setup.triggerSource = 1;
  setup.ch2TriggerLevel = -33;
  setup.runState = 0;
  setup.ch1LoadedTrace = 1;
  std::strcpy(setup.ipAddress, "010.000.000.042");
  setup.networkWord = 77;
  std::strcpy(setup.netMask, "255.255.000.000");
  std::strcpy(setup.gateway, "010.000.000.001");
  return setup;
}

inline PreferencesBlock SampleBlock() {
  PreferencesBlock block{};
  std::strcpy(block.modelName, "KVX162");
  std::strcpy(block.idnTag, "TAG7");
  std::strcpy(block.serialNumber, "SN000123");
  std::strcpy(block.tracePath, "/home/user/traces");
  for (std::size_t i = 0; i < kLastMeasurementsSize; ++i) block.lastMeasurements[i] = static_cast<std::uint8_t>(i);
  for (std::size_t i = 0; i < kKeptBytesSize; ++i) block.keptBytes[i] = static_cast<std::uint8_t>(255 - i % 251);
  block.firmwareVersion = 1.25;
  block.mainPanelRect = {100, 200, 600, 800};
  block.xyPanelRect = {300, 400, 360, 440};
  block.spareRect = {50, 60, 70, 80};
  block.PersistenceOn = 1;
  block.modelNumber = 162;
  return block;
}

inline ReferenceData SampleReferences() {
  ReferenceData references;
  for (std::size_t i = 0; i < kReferencePoints; ++i) {
    references.ReferenceStore[0][i] = static_cast<std::int32_t>(1 + i % 255);
    references.ReferenceStore[1][i] = static_cast<std::int32_t>(255 - i % 200);
  }
  std::strcpy(references.ReferenceLabel[0].data(), "REF1: 500us, 1V");
  std::strcpy(references.ReferenceLabel[1].data(), "REF2: 1ms, 50mV");
  return references;
}

}  // namespace statefiles
