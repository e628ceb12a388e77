// Reading the host's byte stream as the instrument does: commands end at a
// carriage return, a definite-length block argument ("#" n L data) is taken
// by count whatever bytes it holds, and headers are matched in the usual
// short/long mnemonic forms, case-insensitively, with an optional leading
// colon and a numeric suffix where a node takes one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvxsim {

// One command as it arrived: its text without the terminator (for a block
// command, the text before the block) and the block's data.
struct ProgramMessage {
  std::string text;
  std::vector<std::uint8_t> block;
  bool hasBlock = false;
  bool overlong = false;  // text cut because no terminator came in time
};

class CommandSplitter {
 public:
  // Longest command text kept while waiting for its carriage return.
  static constexpr std::size_t kMaxPending = 64 * 1024;
  // Longest block kept; longer blocks are consumed and cut.
  static constexpr std::size_t kMaxBlock = 1024 * 1024;

  // Appends every command the bytes complete; a partial command stays
  // pending for the next call. Empty commands are dropped.
  void Feed(const std::uint8_t* data, std::size_t count, std::vector<ProgramMessage>& out);
  void Reset();

 private:
  void CheckBlockStart();
  void Finish(std::vector<ProgramMessage>& out);

  std::string pending_;
  bool inBlock_ = false;
  std::size_t blockRemaining_ = 0;
  std::vector<std::uint8_t> block_;
  bool overlong_ = false;
};

// A command split into header and arguments.
struct Command {
  std::string header;     // upper case, no leading colon, e.g. "INP1:COUP"
  std::string arguments;  // the text after the header, trimmed
  std::vector<std::uint8_t> block;
  bool hasBlock = false;
};

Command SplitCommand(const ProgramMessage& message);

// Matches a header against a pattern such as "INPut#:COUPling" or
// "DISPlay:TRACe:Y:PDIV#?": each node in its short form (the capitals) or
// long form; "#" allows a numeric suffix, reported in `suffix` (1 when
// absent). Common commands ("*IDN?") match exactly.
bool MatchHeader(std::string_view pattern, std::string_view header, int& suffix);

// Arguments separated by commas (commas inside quotes do not count), trimmed.
std::vector<std::string> SplitArguments(std::string_view arguments);

// Locale-independent numbers: "-0.063", "+1", "0.1E-3".
bool ParseReal(std::string_view text, double& value);
bool ParseInteger(std::string_view text, long& value);
// 0/1/ON/OFF.
bool ParseBoolean(std::string_view text, bool& value);
// A name in double or single quotes, or bare.
bool ParseName(std::string_view text, std::string& name);

std::string ToUpper(std::string_view text);
std::string_view Trim(std::string_view text);

}  // namespace kvxsim
