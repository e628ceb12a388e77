// The trace export with arbitrary bytes as the instrument's reply to the file
// fetch: the text file is written only from a whole trace file, and never
// half.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "link/InstrumentSession.h"
#include "link/TraceExport.h"
#include "platform/visa/Backend.h"
#include "support/ScriptedInstrument.h"

namespace {

// "#6100034", the trace file and two trailing bytes.
constexpr std::size_t kShortestExportedReply = 8 + tracefile::kSize + 2;

// One session for the whole run; each input starts with its read buffer empty.
struct ScriptedExport {
  std::shared_ptr<testsupport::ScriptedInstrument> instrument;
  ViSession session = 0;
  std::string path;
};

ScriptedExport OpenScriptedExport() {
  visa::ClearInstruments();
  visa::EnableUsbSearch(false);
  ScriptedExport link{std::make_shared<testsupport::ScriptedInstrument>("FUZZ"), 0, {}};
  visa::AddInstrument(link.instrument);
  ViSession resourceManager = 0;
  char pattern[] = "/tmp/orni-fuzz-trace-XXXXXX";
  if (viOpenDefaultRM(&resourceManager) != VI_SUCCESS || mkdtemp(pattern) == nullptr ||
      viOpen(resourceManager, link.instrument->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &link.session) != VI_SUCCESS)
    std::abort();
  // Every reply is there at once, so no read has to wait.
  viSetAttribute(link.session, VI_ATTR_TMO_VALUE, 0);
  link.path = std::string(pattern) + "/trace.txt";
  return link;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScriptedExport link = OpenScriptedExport();
  viFlush(link.session, VI_READ_BUF);
  link.instrument->QueueReply("0,No error\n");
  link.instrument->QueueReply(std::string(reinterpret_cast<const char*>(data), size));

  const TraceExportResult result = ExportTraceFile(link.session, VoltsPerDivTableFor(162), link.path, 0);
  link.instrument->ClearWritten();

  const bool written = std::filesystem::exists(link.path);
  if (written != (result == TraceExportResult::Written)) std::abort();
  if (written && size < kShortestExportedReply) std::abort();
  if (std::filesystem::exists(link.path + ".tmp")) std::abort();
  std::filesystem::remove(link.path);
  return 0;
}
