// Writes the seed inputs of a fuzz target into a corpus directory, made with
// the program's own writers: usage  fuzz_seed_files TARGET DIRECTORY
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/DefaultSetup.h"
#include "app/Preferences.h"
#include "app/SetupFile.h"
#include "fuzz/StateFilesInput.h"
#include "link/InstrumentSetup.h"
#include "link/TraceExport.h"
#include "sim/Instrument.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Write(const std::string& directory, const std::string& name, const Bytes& bytes) {
  std::ofstream out(directory + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

Bytes PreferencesSeed() {
  PreferencesBlock block{};
  std::strcpy(block.modelName, "KVX162");
  std::strcpy(block.tracePath, "/home/user/traces");
  block.mainPanelRect = {5, 3000, 580, 720};
  block.xyPanelRect = kDefaultXyPanelRect;
  block.PersistenceOn = 1;
  ReferenceData references;
  for (std::size_t i = 0; i < kReferencePoints; ++i) references.ReferenceStore[0][i] = static_cast<std::int32_t>(i % 256);
  std::strcpy(references.ReferenceLabel[0].data(), "REF1: 1ms, 1V");
  return PreferencesFileBytes(block, references);
}

Bytes SetupSeed() {
  InstrumentSetup setup = DefaultSetupRecord();
  const auto file = SetupFileBytes(setup);
  return Bytes(file.begin(), file.end());
}

bool StateFileSeeds(const std::string& directory) {
  const Bytes preferences = PreferencesSeed();
  const Bytes setup = SetupSeed();
  using fuzzinput::JoinStateFiles;
  return Write(directory, "seed-both", JoinStateFiles(preferences, setup, 0)) &&
         Write(directory, "seed-preferences-only", JoinStateFiles(preferences, std::nullopt, 1)) &&
         Write(directory, "seed-no-files", JoinStateFiles(std::nullopt, setup, 2)) &&
         Write(directory, "seed-short-files",
               JoinStateFiles(std::span(preferences).first(60), std::span(setup).first(10), 3));
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

// The default setup record in wire order, with its checksum.
Bytes WireRecord() {
  InstrumentSetup setup = DefaultSetupRecord();
  setup.checksum = RecordChecksum(setup);
  SwapSetupByteOrder(&setup);
  const auto* record = reinterpret_cast<const std::uint8_t*>(&setup);
  return Bytes(record, record + kSetupSize);
}

bool SetupReplySeeds(const std::string& directory) {
  const Bytes record = WireRecord();
  const Bytes shortBlock = Join({Text("#3570"), Bytes(record.begin(), record.end() - 2), Text("\r\n")});
  return Write(directory, "seed-record", Join({Text("#3572"), record, Text("\r\n")})) &&
         Write(directory, "seed-short-block", shortBlock) && Write(directory, "seed-no-block", Text("0\n"));
}

// The last reply of a fresh simulated instrument to `setup`, then `query`.
Bytes SimulatorReply(const std::string& setup, const std::string& query) {
  kvxsim::SimHandle instrument{kvxsim::InstrumentOptions{}};
  std::unique_ptr<visa::DeviceLink> link;
  if (instrument.Open(link) != VI_SUCCESS) return {};
  const std::string commands = setup + query;
  link->Send(reinterpret_cast<const std::uint8_t*>(commands.data()), commands.size(), visa::kNoTimeLimit);
  Bytes reply;
  for (;;) {
    Bytes next;
    bool end = false;
    if (link->Receive(next, end, std::chrono::milliseconds(0)) != visa::LinkResult::Ok) return reply;
    reply = std::move(next);
  }
}

// Acquisition frame replies: one channel, both, and both zoomed with the
// measurement block.
std::vector<Bytes> FrameReplies() {
  const std::string running = "TRIG:RUN:STAT 1\rDISP:TRAC:STAT1 1\r";
  return {SimulatorReply(running, "ZC:HTTP?\r"), SimulatorReply(running + "DISP:TRAC:STAT2 1\r", "ZC:HTTP?\r"),
          SimulatorReply(running + "DISP:TRAC:STAT2 1\rMEAS:AUTO 1\rDISP:TRAC:ZOOM:H 100,2\r", "ZC:HTTP?\r")};
}

// The frame inside a block reply: after "#", the digit count and the digits.
Bytes FrameOf(const Bytes& reply) {
  const std::size_t start = 2 + static_cast<std::size_t>(reply.at(1) - '0');
  return Bytes(reply.begin() + static_cast<std::ptrdiff_t>(start), reply.end() - 2);
}

bool FrameSeeds(const std::string& directory, bool wholeReply) {
  bool written = true;
  int index = 0;
  for (const Bytes& reply : FrameReplies()) {
    const std::string name = "seed-frame-" + std::to_string(index++);
    written = written && reply.size() > 4 && Write(directory, name, wholeReply ? reply : FrameOf(reply));
  }
  return written;
}

Bytes TraceFileReply() {
  return SimulatorReply("MMEM:STOR:TRAC INT1,\"TEMP_FILE.TRC\"\r", "MMEM:DATA? \"TEMP_FILE.TRC\"\r");
}

bool TraceScaleSeeds(const std::string& directory) {
  const Bytes file = FrameOf(TraceFileReply());
  if (file.size() != tracefile::kSize) return false;
  return Write(directory, "seed-header", Bytes(file.begin(), file.begin() + tracefile::kCodesAt));
}

// The trace fetch cut short: announced whole, a header and a few codes there.
bool TraceFileSeeds(const std::string& directory) {
  const Bytes reply = TraceFileReply();
  if (reply.size() != 8 + tracefile::kSize + 2) return false;
  return Write(directory, "seed-cut-file", Bytes(reply.begin(), reply.begin() + 8 + tracefile::kCodesAt + 64));
}

Bytes SetupLoad() { return Join({Text("SYST:SET #3572"), WireRecord(), Text("\r")}); }

bool SimCommandSeeds(const std::string& directory) {
  return Write(directory, "seed-setup-load", Join({SetupLoad(), Text("SYST:SET?\r")}));
}

Bytes CableFrame(const Bytes& payload) {
  const auto n = static_cast<std::uint32_t>(payload.size());
  return Join({Bytes{static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                     static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)},
               payload});
}

// The setup load split inside its record, whose bytes hold carriage returns.
bool CableDeviceSeeds(const std::string& directory) {
  const Bytes load = SetupLoad();
  const Bytes head(load.begin(), load.begin() + 300);
  const Bytes tail(load.begin() + 300, load.end());
  return Write(directory, "seed-split-setup",
               Join({Bytes{7}, CableFrame(head), CableFrame({}), CableFrame(tail), CableFrame(Text("*IDN?\r"))}));
}

using SeedWriter = std::function<bool(const std::string&)>;

// Every target; those whose seeds are all committed have no writer.
const std::map<std::string, SeedWriter>& SeedWriters() {
  static const std::map<std::string, SeedWriter> writers = {
      {"fuzz_state_files", StateFileSeeds},
      {"fuzz_setup_reply", SetupReplySeeds},
      {"fuzz_trace_file", TraceFileSeeds},
      {"fuzz_trace_scale", TraceScaleSeeds},
      {"fuzz_frame_header", [](const std::string& directory) { return FrameSeeds(directory, false); }},
      {"fuzz_frame_block", [](const std::string& directory) { return FrameSeeds(directory, true); }},
      {"fuzz_sim_commands", SimCommandSeeds},
      {"fuzz_sim_parser", SimCommandSeeds},
      {"fuzz_cable_device", CableDeviceSeeds},
      {"fuzz_cable_host", nullptr},
      {"fuzz_identification", nullptr},
      {"fuzz_resource_expr", nullptr},
      {"fuzz_panel_file", nullptr},
  };
  return writers;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TARGET DIRECTORY\n", argv[0]);
    return 2;
  }
  const auto writer = SeedWriters().find(argv[1]);
  if (writer == SeedWriters().end()) {
    std::fprintf(stderr, "%s: no fuzz target %s\n", argv[0], argv[1]);
    return 2;
  }
  if (writer->second && !writer->second(argv[2])) {
    std::fprintf(stderr, "%s: no seeds written for %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
