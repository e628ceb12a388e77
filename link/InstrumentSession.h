// The one VISA session to the instrument: finding it, opening, configuring,
// identifying and claiming it, reopening it after a failed exchange, and
// releasing and closing it at quit.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/visa/Visa.h"

inline constexpr int kSensitivityCount = 15;
inline constexpr int kDescriptorSize = 300;
inline constexpr int kDescriptorSlot = 1;  // the slot the search fills

struct InstrumentSession {
  ViSession searchResourceManager = 0;
  ViSession resourceManager = 0;
  ViSession session = 0;
  int InstrumentPresent = 0;
  char resourceDescriptors[2][kDescriptorSize] = {};
  char modelName[10] = {};
  double firmwareVersion = 0.0;
  char idnTag[10] = {};
  char serialNumber[20] = {};
  int modelNumber = 0;
  int identifiedModelNumber = 0;
  std::array<double, kSensitivityCount> VoltsPerDivTable{};
};

// The program's instrument.
extern InstrumentSession TheInstrument;

// The session handle for code that does not own the link (the quit question
// on the user-interface thread): ReopenSession replaces the handle on the
// acquisition thread, so it is written and read here as one atomic value.
// Code that owns the link reads `session` directly.
ViSession CurrentSession(const InstrumentSession& instrument);

// The search expression for a KVX instrument on USB.
std::string_view InstrumentSearchExpression();

// Asks VISA for the first matching resource and writes its descriptor into
// slot 1. Returns the search status (anything but VI_SUCCESS is a failure).
ViStatus FindInstrument(InstrumentSession& instrument);

// Opens `descriptor`, configures the session, identifies and claims the
// instrument and selects the binary data format. 0 on success; -1 when the
// open failed; otherwise the status of the identification read.
ViStatus OpenInstrument(InstrumentSession& instrument, const char* descriptor, ViSession* session);

// With `release` nonzero the instrument is released first ("ZC:USED 0").
void CloseInstrument(InstrumentSession& instrument, ViSession* session, int release);

// Drains, closes and reopens the session on the same descriptor after a
// failed exchange. The caller owns the link.
void ReopenSession(InstrumentSession& instrument);

// Fills the identity fields from an identification reply; fields the reply
// does not reach keep their contents.
void ParseIdentification(InstrumentSession& instrument, std::string_view reply);

// The number after "KVX" in a model name ("KVX162" gives 162).
std::optional<int> ModelNumberFromName(std::string_view modelName);

// The volts-per-division table of a model (162: 1-2-5; others: 1-2.5-5).
std::array<double, kSensitivityCount> VoltsPerDivTableFor(int modelNumber);

// The notice shown while a lost session is being reopened; the application
// fills these with the catalogue's texts and its pop-up and wait cursor.
struct ReopenNotice {
  std::function<void()> show;
  std::function<void()> hide;
};
void SetReopenNotice(ReopenNotice notice);
