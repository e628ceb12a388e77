// Whole-record transfer of the setup, the instrument's file memory (stored
// traces) and the error queue.
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

constexpr std::size_t kMaxFiles = 32;

}  // namespace

void SimulatedInstrument::OnSetupQuery(const Command&, int) {
  const SetupBytes& bytes = setup_.Bytes();
  ReplyBlock(DefiniteBlock(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
}

// A record that is not exactly 572 bytes with a right checksum is refused
// whole: a half-applied setup would be worse than none.
void SimulatedInstrument::OnSetupLoad(const Command& command, int) {
  if (!command.hasBlock) {
    Fail(InstrumentError::MissingParameter);
    return;
  }
  if (!setup_.Load(command.block.data(), command.block.size())) Fail(InstrumentError::DataCorrupt);
}

bool SimulatedInstrument::FileName(const Command& command, std::size_t argument, std::string& key) {
  const std::vector<std::string> arguments = SplitArguments(command.arguments);
  std::string name;
  if (argument >= arguments.size()) {
    Fail(InstrumentError::MissingParameter);
    return false;
  }
  if (!ParseName(arguments[argument], name)) {
    Fail(InstrumentError::FileNameError);
    return false;
  }
  key = ToUpper(name);  // the file system ignores case
  return true;
}

// Stores the held record of a channel, as taken, at full resolution.
void SimulatedInstrument::OnStoreTrace(const Command& command, int) {
  const std::vector<std::string> arguments = SplitArguments(command.arguments);
  int channel = 0;
  std::string key;
  if (!ChannelWord(arguments.empty() ? std::string() : arguments[0], channel) || !FileName(command, 1, key)) return;
  if (files_.size() >= kMaxFiles && files_.count(key) == 0) {
    Fail(InstrumentError::DirectoryFull);
    return;
  }
  const auto c = static_cast<std::size_t>(channel);
  files_[key] = BuildTraceFile(held_.record, channel, held_.settings, held_.timebaseIndex, held_.sensitivityIndex[c],
                               held_.unit[c]);
}

// A missing file still gets a reply, an empty block, so the host's read
// ends at once; the error queue says why.
void SimulatedInstrument::OnFileData(const Command& command, int) {
  std::string key;
  const bool named = FileName(command, 0, key);
  const auto file = named ? files_.find(key) : files_.end();
  if (file == files_.end()) {
    if (named) Fail(InstrumentError::FileNameNotFound);
    ReplyBlock(DefiniteBlock({}));
    return;
  }
  ReplyBlock(DefiniteBlock(file->second));
}

void SimulatedInstrument::OnFileDelete(const Command& command, int) {
  std::string key;
  if (!FileName(command, 0, key)) return;
  if (files_.erase(key) == 0) Fail(InstrumentError::FileNameNotFound);
}

void SimulatedInstrument::OnErrorQuery(const Command&, int) { ReplyText(errors_.Pop() + "\n"); }

}  // namespace kvxsim
