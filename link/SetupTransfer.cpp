#include "link/SetupTransfer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "link/InstrumentSession.h"
#include "link/LinkMessages.h"
#include "link/SetupLayout.h"
#include "link/SetupRecordCheck.h"
#include "link/Transport.h"
#include "platform/os/Timing.h"

namespace {

constexpr std::string_view kSetupQuery = "\r:SYST:SET?\r";
// The record and the two bytes the instrument sends after it.
constexpr std::size_t kSetupReplySize = kSetupSize + 2;
// Room for a somewhat wrong reply, so that it is still read whole (and then
// refused) instead of being left behind to spoil the next exchange.
constexpr std::size_t kSetupReplyCapacity = 1024;
constexpr double kSetupWritePause = 0.5;
constexpr std::size_t kCompletionReplyMax = 100;

bool ChecksumHolds(const std::uint8_t* wireRecord) {
  std::uint32_t expected = SetupChecksum(wireRecord + kChecksumStart, kChecksumCount);
  SwapBytes(1, &expected);
  return std::memcmp(&expected, wireRecord, sizeof expected) == 0;
}

constexpr SetupLayoutEntry LayoutEntry(std::string_view name) {
  for (const SetupLayoutEntry& entry : kSetupLayout)
    if (entry.name == name) return entry;
  throw "not a field of the setup record";  // a compile-time error in the table below
}

constexpr auto kProgramOwnedEntries = [] {
  std::array<SetupLayoutEntry, kProgramOwnedFields.size()> entries{};
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = LayoutEntry(kProgramOwnedFields[i]);
  return entries;
}();

// The record a host-order reply makes of `setup`, or nothing when the program
// could not use it.
std::optional<InstrumentSetup> MergedRecord(const std::uint8_t* hostRecord, const InstrumentSetup& setup) {
  InstrumentSetup merged;
  std::memcpy(&merged, hostRecord, kSetupSize);
  merged.viewState = 0;
  KeepProgramOwnedFields(setup, merged);
  if (!SetupRecordUsable(merged)) return std::nullopt;
  return merged;
}

// "SYST:SET #3572" followed by the record in wire order and a carriage return.
std::array<char, kSetupMessageSize> SetupMessage(InstrumentSetup& setup) {
  std::array<char, kSetupMessageSize> message{};
  char* const end = message.data() + message.size();
  char* out = std::copy(kSetupCommandHeader.begin(), kSetupCommandHeader.end(), message.data());
  out = std::to_chars(out, end, DecimalDigits(kSetupSize)).ptr;
  out = std::to_chars(out, end, kSetupSize).ptr;
  {
    std::lock_guard lock(SetupRecordMutex);
    setup.checksum = RecordChecksum(setup);
    std::memcpy(out, &setup, kSetupSize);
  }
  SwapSetupByteOrder(reinterpret_cast<std::uint8_t*>(out));
  out[kSetupSize] = '\r';
  return message;
}

}  // namespace

void KeepProgramOwnedFields(const InstrumentSetup& from, InstrumentSetup& into) {
  for (const SetupLayoutEntry& field : kProgramOwnedEntries)
    std::memcpy(reinterpret_cast<std::uint8_t*>(&into) + field.offset,
                reinterpret_cast<const std::uint8_t*>(&from) + field.offset, field.size);
}

void ReadSetup(ViSession session, InstrumentSetup& setup) {
  std::array<std::uint8_t, kSetupReplyCapacity> reply{};
  WriteBytes(session, kSetupQuery);
  viSetAttribute(session, VI_ATTR_SUPPRESS_END_EN, VI_TRUE);
  const BlockRead block = ReadDefiniteBlock(session, reply, true);
  // With END suppressed, a prefix read that found more bytes waiting ends
  // with a positive completion code; anything else is no record.
  if (!block.ok || block.prefixStatus <= VI_SUCCESS || block.count != kSetupReplySize) {
    ReportLinkMessage(LinkMessage::WrongConfiguration);
    return;
  }
  if (!ChecksumHolds(reply.data())) {
    ReportLinkMessage(LinkMessage::ConfigurationChecksum);
    return;
  }
  SwapSetupByteOrder(reply.data());
  std::lock_guard lock(SetupRecordMutex);
  const std::optional<InstrumentSetup> merged = MergedRecord(reply.data(), setup);
  if (!merged) {
    ReportLinkMessage(LinkMessage::WrongConfiguration);
    return;
  }
  setup = *merged;
}

void WriteSetup(ViSession session, InstrumentSetup& setup) {
  const std::array<char, kSetupMessageSize> message = SetupMessage(setup);
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kSetupWriteTimeoutMs);
  WriteBytes(session, std::string_view(message.data(), message.size()));
  Delay(kSetupWritePause);
  std::string completion;
  Query(session, "*OPC?\r", 0.0, kCompletionReplyMax, completion);
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);
}

void ReadSetup() { ReadSetup(TheInstrument.session, ProgramSetup); }

void WriteSetup() { WriteSetup(TheInstrument.session, ProgramSetup); }
