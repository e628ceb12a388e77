#include "link/InstrumentSession.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "link/NumberText.h"
#include "link/Transport.h"
#include "platform/os/Timing.h"

InstrumentSession TheInstrument;

namespace {

constexpr ViUInt32 kIoBufferSize = 50000;
constexpr std::size_t kIdentificationMax = 1500;
constexpr std::size_t kDrainMax = 45000;
constexpr double kReopenPause = 1.0;

std::mutex noticeMutex;
ReopenNotice reopenNotice;

void CallNotice(const std::function<void()> ReopenNotice::*which) {
  std::function<void()> call;
  {
    std::lock_guard lock(noticeMutex);
    call = reopenNotice.*which;
  }
  if (call) call();
}

template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

std::string_view TrimLineEnd(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\0'))
    text.remove_suffix(1);
  return text;
}

bool Expect(std::string_view& text, std::string_view literal) {
  if (text.substr(0, literal.size()) != literal) return false;
  text.remove_prefix(literal.size());
  return true;
}

// The text up to (not including) `stop`, or to the end; consumes it.
std::string_view TakeUntil(std::string_view& text, char stop) {
  const std::size_t end = std::min(text.find(stop), text.size());
  const std::string_view field = text.substr(0, end);
  text.remove_prefix(end);
  return field;
}

void ConfigureSession(ViSession session) {
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);
  viSetBuf(session, VI_READ_BUF | VI_WRITE_BUF, kIoBufferSize);
  viSetAttribute(session, VI_ATTR_WR_BUF_OPER_MODE, VI_FLUSH_ON_ACCESS);
  viSetAttribute(session, VI_ATTR_RD_BUF_OPER_MODE, VI_FLUSH_ON_ACCESS);
  viSetAttribute(session, VI_ATTR_SUPPRESS_END_EN, VI_FALSE);
  viFlush(session, VI_WRITE_BUF);
  viFlush(session, VI_READ_BUF);
}

}  // namespace

ViSession CurrentSession(const InstrumentSession& instrument) {
  // atomic_ref of a const object is not C++20; the load does not write.
  return std::atomic_ref<ViSession>(const_cast<ViSession&>(instrument.session)).load();
}

std::string_view InstrumentSearchExpression() {
  static const std::string expression = [] {
    char text[256];
    std::snprintf(text, sizeof text,
                  "USB?*RAW{VI_ATTR_MANF_ID == %s && (VI_ATTR_MODEL_CODE == %s || VI_ATTR_MODEL_CODE == %s)}",
                  "0x2177", "0x1004", "0x1002");
    return std::string(text);
  }();
  return expression;
}

ViStatus FindInstrument(InstrumentSession& instrument) {
  ViFindList list = 0;
  ViUInt32 count = 0;
  char found[VI_FIND_BUFLEN] = {};
  const std::string expression(InstrumentSearchExpression());
  const ViStatus status = viFindRsrc(instrument.searchResourceManager, expression.c_str(), &list, &count, found);
  if (status == VI_SUCCESS) CopyField(instrument.resourceDescriptors[kDescriptorSlot], found);
  return status;
}

void ParseIdentification(InstrumentSession& instrument, std::string_view reply) {
  std::string_view text = TrimLineEnd(reply);
  const std::string_view model = TakeUntil(text, ',');
  if (model.empty()) return;
  CopyField(instrument.modelName, model);
  if (!Expect(text, ", v")) return;
  double version = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), version);
  if (result.ec != std::errc()) return;
  instrument.firmwareVersion = version;
  text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
  if (!Expect(text, "/")) return;
  TakeUntil(text, '/');
  if (!Expect(text, "/")) return;
  const std::string_view tag = TakeUntil(text, ',');
  if (tag.empty()) return;
  CopyField(instrument.idnTag, tag);
  if (!Expect(text, ", ") || text.empty()) return;
  CopyField(instrument.serialNumber, text);
}

std::optional<int> ModelNumberFromName(std::string_view modelName) {
  if (!Expect(modelName, "KVX")) return std::nullopt;
  const auto number = ParseInteger(modelName);
  if (!number || *number < INT_MIN || *number > INT_MAX) return std::nullopt;
  return static_cast<int>(*number);
}

std::array<double, kSensitivityCount> VoltsPerDivTableFor(int modelNumber) {
  if (modelNumber == 162) return {0.0025, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
  return {0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 25, 50, 100};
}

ViStatus OpenInstrument(InstrumentSession& instrument, const char* descriptor, ViSession* session) {
  const ViStatus managerStatus = viOpenDefaultRM(&instrument.resourceManager);
  if (managerStatus < 0) return managerStatus;
  if (viOpen(instrument.resourceManager, descriptor, VI_EXCLUSIVE_LOCK, 0, session) < 0) {
    viClose(instrument.resourceManager);
    instrument.resourceManager = 0;
    return -1;
  }
  ConfigureSession(*session);

  std::string reply;
  const ViStatus idStatus = Query(*session, "\r*IDN?\r", 0.0, kIdentificationMax, reply);
  ParseIdentification(instrument, reply);
  if (const auto number = ModelNumberFromName(instrument.modelName)) instrument.modelNumber = *number;
  instrument.identifiedModelNumber = instrument.modelNumber;
  instrument.VoltsPerDivTable = VoltsPerDivTableFor(instrument.modelNumber);

  WriteBytes(*session, "ZC:USED 1\r");
  WriteBytes(*session, "FORM:DATA INT;DINT OFF\r");
  return idStatus;
}

void CloseInstrument(InstrumentSession& instrument, ViSession* session, int release) {
  if (release) WriteBytes(*session, "ZC:USED 0\r");
  viClose(*session);
  viClose(instrument.resourceManager);
  *session = 0;
  instrument.resourceManager = 0;
}

void ReopenSession(InstrumentSession& instrument) {
  CallNotice(&ReopenNotice::show);
  Delay(kReopenPause);
  viSetAttribute(instrument.session, VI_ATTR_SUPPRESS_END_EN, VI_TRUE);
  std::vector<ViByte> drain(kDrainMax);
  ViUInt32 drained = 0;
  viRead(instrument.session, drain.data(), static_cast<ViUInt32>(drain.size()), &drained);
  viFlush(instrument.session, VI_READ_BUF);
  viSetAttribute(instrument.session, VI_ATTR_SUPPRESS_END_EN, VI_FALSE);
  viClose(instrument.session);
  // The closed handle stays until the new one replaces it: only the link's
  // owner uses it meanwhile, and the quit question still sees an instrument.
  Delay(kReopenPause);
  ViSession reopened = 0;
  viOpen(instrument.resourceManager, instrument.resourceDescriptors[kDescriptorSlot], VI_EXCLUSIVE_LOCK, 0,
         &reopened);
  std::atomic_ref<ViSession>(instrument.session).store(reopened);
  CallNotice(&ReopenNotice::hide);
}

void SetReopenNotice(ReopenNotice notice) {
  std::lock_guard lock(noticeMutex);
  reopenNotice = std::move(notice);
}
