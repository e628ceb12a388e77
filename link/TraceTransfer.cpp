#include "link/TraceTransfer.h"

namespace {

constexpr std::string_view kTemporaryStem = "TEMP_FILE";
constexpr std::string_view kNoError = "0,No error";
constexpr std::size_t kErrorReplyMax = 512;
// The instrument queues at most 20 errors and an overflow mark.
constexpr int kMaxQueuedErrors = 21;

std::string_view AfterLastBackslash(std::string_view name) {
  const std::size_t slash = name.rfind('\\');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::string TemporaryFileName(std::string_view name) {
  std::string temporary(kTemporaryStem);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) temporary.append(name.substr(dot));
  return temporary;
}

int StoreTraceOnInstrument(ViSession session, std::string_view name, int channel) {
  if (channel < 0 || channel > 1) return 1;
  std::string command = ":MMEM:STOR:TRAC INT";
  command.append(std::to_string(channel + 1)).append(",\"").append(TemporaryFileName(name)).append("\"\r");
  return CheckErrorQueue(session, command) ? 0 : 1;
}

BlockRead FetchInstrumentFile(ViSession session, std::string_view name, std::span<std::uint8_t> buffer) {
  const ViStatus written = SendCommand(session, ":MMEM:DATA? \"", name, "\"\r");
  if (written < 0) {
    BlockRead failed;
    failed.status = written;
    return failed;
  }
  return ReadDefiniteBlock(session, buffer);
}

ViStatus DeleteInstrumentFile(ViSession session, std::string_view name, int temporary) {
  if (temporary != 0) return SendCommand(session, ":MMEM:DEL \"", TemporaryFileName(name), "\"\r");
  return SendCommand(session, ":MMEM:DEL \"", AfterLastBackslash(name), "\"\r");
}

bool ClearErrorQueue(ViSession session) {
  std::string reply;
  for (int i = 0; i < kMaxQueuedErrors; ++i) {
    if (Query(session, "syst:err?\r", 0.0, kErrorReplyMax, reply) < 0) return false;
    if (reply.find(kNoError) != std::string::npos) return true;
  }
  return false;
}
