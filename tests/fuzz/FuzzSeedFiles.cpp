// Writes the seed inputs of a fuzz target into a corpus directory, made with
// the program's own writers: usage  fuzz_seed_files TARGET DIRECTORY
#include <cstdio>
#include <cstring>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "app/DefaultSetup.h"
#include "app/Preferences.h"
#include "app/SetupFile.h"
#include "fuzz/StateFilesInput.h"
#include "link/InstrumentSetup.h"

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

bool SetupReplySeeds(const std::string& directory) {
  InstrumentSetup setup = DefaultSetupRecord();
  setup.checksum = RecordChecksum(setup);
  SwapSetupByteOrder(&setup);
  const auto* record = reinterpret_cast<const std::uint8_t*>(&setup);
  Bytes reply = {'#', '3', '5', '7', '2'};
  reply.insert(reply.end(), record, record + kSetupSize);
  reply.insert(reply.end(), {'\r', '\n'});
  Bytes shortBlock = {'#', '3', '5', '7', '0'};
  shortBlock.insert(shortBlock.end(), record, record + kSetupSize - 2);
  shortBlock.insert(shortBlock.end(), {'\r', '\n'});
  return Write(directory, "seed-record", reply) && Write(directory, "seed-short-block", shortBlock) &&
         Write(directory, "seed-no-block", Bytes{'0', '\n'});
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s fuzz_state_files|fuzz_setup_reply DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string target = argv[1];
  bool written = false;
  if (target == "fuzz_state_files") written = StateFileSeeds(argv[2]);
  if (target == "fuzz_setup_reply") written = SetupReplySeeds(argv[2]);
  if (!written) std::fprintf(stderr, "%s: no seeds written for %s\n", argv[0], argv[1]);
  return written ? 0 : 1;
}
