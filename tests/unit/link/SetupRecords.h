// Setup records for tests, converted to wire order with a field list written
// here on its own (not taken from the program's layout table), and a scripted
// instrument session to talk to.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "link/InstrumentSetup.h"
#include "link/SetupTransfer.h"
#include "platform/os/Clock.h"
#include "platform/os/Timing.h"
#include "platform/visa/Backend.h"
#include "support/ScriptedInstrument.h"

namespace setuptest {

struct SwappedField {
  std::size_t offset;
  std::size_t width;
};

// Every 16- and 32-bit field of the record, in offset order.
inline const std::vector<SwappedField> kSwappedFields = {
    {0, 4},   {4, 2},   {6, 2},   {8, 2},   {10, 2},  {12, 4},  {16, 2},  {18, 2},  {20, 2},  {22, 2},
    {24, 2},  {28, 4},  {32, 2},  {36, 4},  {40, 2},  {44, 4},  {48, 2},  {52, 4},  {56, 2},  {60, 4},
    {64, 4},  {68, 4},  {72, 2},  {74, 2},  {76, 2},  {78, 2},  {80, 4},  {84, 4},  {88, 2},  {90, 2},
    {92, 2},  {94, 2},  {96, 2},  {100, 4}, {104, 2}, {106, 2}, {108, 2}, {120, 4}, {124, 4}, {128, 4},
    {132, 4}, {140, 2}, {142, 2}, {144, 2}, {146, 2}, {150, 2}, {152, 2}, {156, 4}, {160, 4}, {164, 2},
    {166, 2}, {168, 4}, {172, 2}, {176, 4}, {180, 4}, {184, 4}, {188, 4}, {192, 2}, {196, 4}, {200, 4},
    {204, 4}, {208, 2}, {212, 4}, {216, 4}, {220, 2}, {222, 2}, {224, 4}, {228, 4}, {232, 2}, {236, 4},
    {240, 4}, {244, 2}, {246, 2}, {248, 4}, {252, 4}, {256, 4}, {260, 2}, {264, 4}, {268, 4}, {272, 4},
    {276, 4}, {280, 2}, {282, 2}, {284, 2}, {286, 2}, {288, 2}, {290, 2}, {292, 2}, {294, 2}, {296, 4},
    {300, 2}, {302, 2}, {304, 2}, {306, 2}, {308, 2}, {352, 4}, {356, 4}, {360, 4}, {364, 4}, {368, 2},
    {450, 2}, {452, 2}, {472, 4}, {476, 4}, {480, 2}, {482, 2}, {484, 2}, {486, 2}, {488, 2}, {490, 2},
    {492, 2}, {494, 2}, {496, 2}};

using Bytes = std::vector<std::uint8_t>;

inline Bytes RecordBytes(const InstrumentSetup& setup) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(&setup);
  return Bytes(data, data + sizeof setup);
}

inline void ReverseFields(Bytes& record) {
  for (const SwappedField& field : kSwappedFields)
    std::reverse(record.begin() + static_cast<long>(field.offset),
                 record.begin() + static_cast<long>(field.offset + field.width));
}

// Bytes that differ from field to field, so that a swap of the wrong width shows.
inline InstrumentSetup PatternSetup(std::uint8_t seed) {
  InstrumentSetup setup;
  auto* data = reinterpret_cast<std::uint8_t*>(&setup);
  for (std::size_t i = 0; i < sizeof setup; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + seed);
  return setup;
}

// A pattern the program accepts from the instrument: every table index within
// its table, real numbers where the display computes, terminated unit texts.
inline InstrumentSetup UsablePatternSetup(std::uint8_t seed) {
  InstrumentSetup setup = PatternSetup(seed);
  setup.runState = 1;
  setup.effectiveTimebaseIndex = 14;
  setup.timebaseIndex = 15;
  setup.triggerMode = 2;
  setup.triggerType = 0;
  setup.triggerSource = 1;
  setup.ch1Coupling = 0;
  setup.ch2Coupling = 2;
  setup.ch1VoltsPerDivIndex = 4;
  setup.ch2VoltsPerDivIndex = 14;
  setup.ch1TriggerCoupling = 3;
  setup.ch2TriggerCoupling = 1;
  setup.ch1TriggerSlope = 1;
  setup.ch2TriggerSlope = 0;
  setup.referenceChannel = 1;
  setup.xySourceX = 1;
  setup.xySourceY = 0;
  setup.zoomFactor = 4.0f;
  setup.zoomPosition = 12500;
  setup.zoomWindowScale = 1.0f;
  setup.ch1ProbeFactor = 10.0f;
  setup.ch2ProbeFactor = 1.0f;
  std::memcpy(setup.ch1Unit, "V\0\0", 4);
  std::memcpy(setup.ch2Unit, "A\0\0", 4);
  return setup;
}

// The instrument's side: a host-order record with a correct checksum, in wire order.
inline Bytes WireRecord(InstrumentSetup setup) {
  Bytes bytes = RecordBytes(setup);
  std::uint32_t sum = 0;
  for (std::size_t i = 4; i < bytes.size(); ++i) sum += bytes[i];
  const std::uint32_t checksum = ~sum;
  std::memcpy(bytes.data(), &checksum, 4);
  ReverseFields(bytes);
  return bytes;
}

// What the program's copy should hold after accepting `wire`: the instrument's
// record, viewState cleared, the program's own fields kept.
inline InstrumentSetup AcceptedRecord(Bytes wire, const InstrumentSetup& program) {
  ReverseFields(wire);
  InstrumentSetup expected;
  std::memcpy(&expected, wire.data(), sizeof expected);
  expected.viewState = 0;
  KeepProgramOwnedFields(program, expected);
  return expected;
}

// "#3" L, the data and the two bytes the instrument sends after a block.
inline std::string BlockReply(const Bytes& data) {
  const std::string length = std::to_string(data.size());
  return "#" + std::to_string(length.size()) + length + std::string(data.begin(), data.end()) + "\r\n";
}

// A session open on a scripted instrument, with a short timeout. Time is
// the test's own: waits and missing replies cost no real time, and Timer()
// shows how long the program waited.
class ScriptedSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    instrument_ = std::make_shared<testsupport::ScriptedInstrument>("SETUPTEST");
    visa::AddInstrument(instrument_);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    ASSERT_EQ(viOpen(rm_, instrument_->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &session_), VI_SUCCESS);
    viSetAttribute(session_, VI_ATTR_TMO_VALUE, kShortTimeoutMs);
  }
  void TearDown() override {
    viClose(rm_);
    visa::ClearInstruments();
  }
  ViUInt32 TimeoutMs() {
    ViUInt32 value = 0;
    viGetAttribute(session_, VI_ATTR_TMO_VALUE, &value);
    return value;
  }

  static constexpr ViUInt32 kShortTimeoutMs = 300;
  ScopedManualClock clock_;
  std::shared_ptr<testsupport::ScriptedInstrument> instrument_;
  ViSession rm_ = 0;
  ViSession session_ = 0;
};

}  // namespace setuptest
