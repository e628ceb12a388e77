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

struct ScriptedLink {
  ScriptedLink() {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    instrument = std::make_shared<testsupport::ScriptedInstrument>("FUZZ");
    visa::AddInstrument(instrument);
    if (viOpenDefaultRM(&resourceManager) != VI_SUCCESS) std::abort();
    char pattern[] = "/tmp/orni-fuzz-trace-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    path = std::string(pattern) + "/trace.txt";
  }
  std::shared_ptr<testsupport::ScriptedInstrument> instrument;
  ViSession resourceManager = 0;
  std::string path;
};

ScriptedLink& Link() {
  static ScriptedLink link;
  return link;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedLink& link = Link();
  ViSession session = 0;
  if (viOpen(link.resourceManager, link.instrument->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &session) !=
      VI_SUCCESS)
    std::abort();
  // Every reply is there at once, so no read has to wait.
  viSetAttribute(session, VI_ATTR_TMO_VALUE, 0);
  link.instrument->QueueReply("0,No error\n");
  link.instrument->QueueReply(std::string(reinterpret_cast<const char*>(data), size));

  const TraceExportResult result = ExportTraceFile(session, VoltsPerDivTableFor(162), link.path, 0);
  viClose(session);
  link.instrument->ClearWritten();

  const bool written = std::filesystem::exists(link.path);
  if (written != (result == TraceExportResult::Written)) std::abort();
  if (written && size < kShortestExportedReply) std::abort();
  if (std::filesystem::exists(link.path + ".tmp")) std::abort();
  std::filesystem::remove(link.path);
  return 0;
}
