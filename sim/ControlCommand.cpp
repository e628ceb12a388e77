#include "sim/ControlCommand.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "sim/CommandParser.h"
#include "sim/Instrument.h"
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

constexpr long kMostAtOnce = 1'000'000;

constexpr std::array<std::pair<std::string_view, ControlAction>, 8> kWords = {{
    {"drop", ControlAction::Drop},
    {"stall", ControlAction::Stall},
    {"truncate", ControlAction::Truncate},
    {"corrupt", ControlAction::Corrupt},
    {"oversize", ControlAction::Oversize},
    {"disconnect", ControlAction::Disconnect},
    {"dump-setup", ControlAction::DumpSetup},
    {"dump-received", ControlAction::DumpReceived},
}};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TakeWord(std::string_view& text) {
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  const std::string_view word = text.substr(0, end);
  text = TrimBlanks(text.substr(end));
  return word;
}

bool IsFault(ControlAction action) { return action <= ControlAction::Oversize; }

int* CountFor(ControlAction action, Faults& faults) {
  switch (action) {
    case ControlAction::Drop: return &faults.dropReplies;
    case ControlAction::Stall: return &faults.stallReplies;
    case ControlAction::Truncate: return &faults.truncateBlocks;
    case ControlAction::Corrupt: return &faults.corruptPrefix;
    case ControlAction::Oversize: return &faults.oversizeBlocks;
    default: return nullptr;
  }
}

// Adds to what is still pending, so two quick commands give two faults.
// A count of 0 clears the kind; -1 (always) stays until cleared.
void AddFaults(int& pending, int count) {
  if (count == 0) {
    pending = 0;
  } else if (count < 0 || pending < 0) {
    pending = -1;
  } else {
    pending = static_cast<int>(std::min<long>(kMostAtOnce, static_cast<long>(pending) + count));
  }
}

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file != nullptr && std::fwrite(data, 1, size, file) == size;
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written) error = "cannot write " + path;
  return written;
}

}  // namespace

std::optional<ControlCommand> ParseControlLine(std::string_view line, std::string& error) {
  error.clear();
  std::string_view rest = TrimBlanks(line);
  if (rest.empty() || rest.front() == '#') return std::nullopt;
  const std::string_view word = TakeWord(rest);
  ControlCommand command;
  bool known = false;
  for (const auto& [name, action] : kWords) {
    if (word == name) {
      command.action = action;
      known = true;
    }
  }
  if (!known) {
    error = "unknown control command " + std::string(word);
    return std::nullopt;
  }
  if (IsFault(command.action)) {
    long count = 1;
    if (!rest.empty() && (!ParseInteger(rest, count) || count < -1 || count > kMostAtOnce)) {
      error = "bad count for " + std::string(word) + ": " + std::string(rest);
      return std::nullopt;
    }
    command.count = static_cast<int>(count);
  } else if (command.action == ControlAction::Disconnect) {
    if (!rest.empty()) {
      error = "disconnect takes nothing after it";
      return std::nullopt;
    }
  } else {
    if (rest.empty()) {
      error = std::string(word) + " needs a file";
      return std::nullopt;
    }
    command.path = std::string(rest);
  }
  return command;
}

bool ApplyControl(const ControlCommand& command, SimHandle& instrument, std::string& error) {
  error.clear();
  switch (command.action) {
    case ControlAction::DumpSetup: {
      const auto record = instrument.SetupRecord();
      return WriteFile(command.path, record.data(), record.size(), error);
    }
    case ControlAction::DumpReceived: {
      const std::vector<std::uint8_t> bytes = instrument.TakeReceived();
      return WriteFile(command.path, bytes.data(), bytes.size(), error);
    }
    case ControlAction::Disconnect:
      instrument.Engine().UpdateFaults([](Faults& faults) { faults.disconnectAfterReplies = 0; });
      return true;
    default:
      instrument.Engine().UpdateFaults([&command](Faults& faults) {
        if (int* pending = CountFor(command.action, faults)) AddFaults(*pending, command.count);
      });
      return true;
  }
}

}  // namespace kvxsim
