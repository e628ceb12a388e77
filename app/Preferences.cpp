#include "app/Preferences.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>

#include "app/DefaultSetup.h"
#include "app/PreferencesMessages.h"
#include "app/SetupFile.h"
#include "platform/os/SmallFileRead.h"
#include "platform/os/AtomicFile.h"

// The file holds the block and the traces as the PC holds them in memory.
static_assert(std::endian::native == std::endian::little);

namespace {

using Bytes = std::span<const std::uint8_t>;

// The most the loader ever reads: the mark at the end of the searched bytes,
// then the data. Whatever follows the data (normally "\n#END\n") is not read.
constexpr std::size_t kLargestPreferencesRead =
    kBeginSearchSize - kBeginMark.size() + kBeginMarkSkip + kPreferencesDataSize;

std::string_view AsText(Bytes bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

std::optional<Bytes> AsBytes(const std::optional<std::vector<std::uint8_t>>& file) {
  if (!file) return std::nullopt;
  return Bytes(*file);
}

// Where the data starts: after the mark and its newline, with the three
// blocks whole after it. The footer is written but never needed.
std::optional<std::size_t> DataOffset(Bytes file) {
  const std::string_view head = AsText(file.first(std::min(file.size(), kBeginSearchSize)));
  const std::size_t mark = head.find(kBeginMark);
  if (mark == std::string_view::npos) return std::nullopt;
  const std::size_t offset = mark + kBeginMarkSkip;
  if (file.size() < offset + kPreferencesDataSize) return std::nullopt;
  return offset;
}

// Reads `size` bytes at `at` into `target` and moves past them.
void Take(Bytes file, std::size_t& at, void* target, std::size_t size) {
  std::memcpy(target, file.data() + at, size);
  at += size;
}

bool ReadPreferencesData(Bytes file, MonitorSize monitor, PreferencesState& state) {
  const std::optional<std::size_t> offset = DataOffset(file);
  if (!offset) return false;
  std::size_t at = *offset;
  Take(file, at, &state.block, sizeof state.block);
  for (ReferenceTrace& trace : state.references.ReferenceStore) Take(file, at, trace.data(), kReferenceTraceBytes);
  for (ReferenceText& label : state.references.ReferenceLabel) Take(file, at, label.data(), label.size());
  MakeLoadedBlockSafe(state.block, monitor);
  MakeReferencesSafe(state.references);
  return true;
}

void Put(std::vector<std::uint8_t>& file, const void* source, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(source);
  file.insert(file.end(), bytes, bytes + size);
}

void WritePreferencesFile(const std::string& path, const PreferencesBlock& block, const ReferenceData& references) {
  const std::vector<std::uint8_t> bytes = PreferencesFileBytes(block, references);
  if (!WriteFileAtomically(path, AsText(bytes))) ReportPreferencesMessage(PreferencesMessage::CannotCreateIniFile);
}

void WriteSetupFile(const std::string& preferencesPath, Bytes bytes) {
  if (!WriteFileAtomically(SetupFilePath(preferencesPath), AsText(bytes)))
    ReportPreferencesMessage(PreferencesMessage::CannotCreateConfigurationFile);
}

}  // namespace

void LoadPreferencesFromBytes(std::optional<Bytes> preferencesFile, std::optional<Bytes> setupFile,
                              MonitorSize monitor, PreferencesState& state) {
  std::memset(state.setup.ipAddress, 0, sizeof state.setup.ipAddress);
  state.blockLoaded = false;
  if (!preferencesFile) {
    ReportPreferencesMessage(PreferencesMessage::ConfigurationNotFound);
    ClearReferenceStore(state.references, kAllReferences);
    state.setup = FreshStartSetup();
    PlaceWindowsByDefault(state.block);
    state.block.PersistenceOn = 0;
    return;
  }
  state.blockLoaded = ReadPreferencesData(*preferencesFile, monitor, state);
  if (!state.blockLoaded) {
    ReportPreferencesMessage(PreferencesMessage::WrongIniFile);
    ClearReferenceStore(state.references, kAllReferences);
    // Nothing was read: the windows would otherwise open 0 x 0 at the corner.
    PlaceWindowsByDefault(state.block);
  }
  if (!LoadSetupFile(setupFile, state.blockLoaded, state.setup)) LoadDefaultSetup(state.setup);
}

void LoadPreferences(const std::string& preferencesPath, MonitorSize monitor, PreferencesState& state) {
  const auto preferencesFile = ReadSmallFile(preferencesPath, kLargestPreferencesRead);
  std::optional<std::vector<std::uint8_t>> setupFile;
  if (preferencesFile) setupFile = ReadSmallFile(SetupFilePath(preferencesPath), kSetupFileSize + 1);
  LoadPreferencesFromBytes(AsBytes(preferencesFile), AsBytes(setupFile), monitor, state);
}

std::vector<std::uint8_t> PreferencesFileBytes(const PreferencesBlock& block, const ReferenceData& references) {
  std::vector<std::uint8_t> file;
  file.reserve(kPreferencesFileSize);
  Put(file, kPreferencesHeader.data(), kPreferencesHeader.size());
  Put(file, &block, sizeof block);
  for (const ReferenceTrace& trace : references.ReferenceStore) Put(file, trace.data(), kReferenceTraceBytes);
  for (const ReferenceText& label : references.ReferenceLabel) Put(file, label.data(), label.size());
  Put(file, kPreferencesFooter.data(), kPreferencesFooter.size());
  return file;
}

void SavePreferences(const std::string& preferencesPath, const PreferencesBlock& block,
                     const ReferenceData& references, InstrumentSetup& setup) {
  WritePreferencesFile(preferencesPath, block, references);
  WriteSetupFile(preferencesPath, SetupFileBytes(setup));
}

void LoadPreferences(const std::string& preferencesPath, MonitorSize monitor) {
  PreferencesState state;
  state.block = ProgramPreferences;
  state.setup = SnapshotProgramSetup();
  state.references = ProgramReferences.Snapshot();
  LoadPreferences(preferencesPath, monitor, state);
  ProgramPreferences = state.block;
  {
    std::lock_guard lock(SetupRecordMutex);
    ProgramSetup = state.setup;
  }
  ProgramReferences.Replace(state.references);
}

void SavePreferences(const std::string& preferencesPath) {
  WritePreferencesFile(preferencesPath, ProgramPreferences, ProgramReferences.Snapshot());
  std::array<std::uint8_t, kSetupFileSize> setupFile;
  {
    std::lock_guard lock(SetupRecordMutex);
    setupFile = SetupFileBytes(ProgramSetup);
  }
  WriteSetupFile(preferencesPath, setupFile);
}
