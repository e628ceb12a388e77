// The trace export with arbitrary bytes as the instrument's reply to the file
// fetch: the text file is written only from a whole trace file, and never
// half.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "link/InstrumentSession.h"
#include "link/TraceExport.h"

namespace {

// "#6100034", the trace file and two trailing bytes.
constexpr std::size_t kShortestExportedReply = 8 + tracefile::kSize + 2;

// The text file goes to a directory of its own for the whole run.
std::string TracePath() {
  char pattern[] = "/tmp/orni-fuzz-trace-XXXXXX";
  fuzzsupport::Require(mkdtemp(pattern) != nullptr);
  return std::string(pattern) + "/trace.txt";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzsupport::ScriptedSession link = fuzzsupport::OpenScriptedSession();
  static const std::string path = TracePath();
  link.StartInput();
  link.instrument->QueueReply("0,No error\n");
  link.instrument->QueueReply(std::string(fuzzsupport::AsText(data, size)));

  const TraceExportResult result = ExportTraceFile(link.session, VoltsPerDivTableFor(162), path, 0);
  const bool written = std::filesystem::exists(path);
  fuzzsupport::Require(written == (result == TraceExportResult::Written));
  fuzzsupport::Require(!written || size >= kShortestExportedReply);
  fuzzsupport::Require(!std::filesystem::exists(path + ".tmp"));
  std::filesystem::remove(path);
  return 0;
}
