// The simulated instrument's command reading alone, on arbitrary bytes as
// one host write: the splitting into commands, headers and arguments and the
// argument parsers, fast enough for long runs (fuzz_sim_commands runs the
// whole instrument). Headers come out upper case without blanks, a numeric
// suffix stays within six digits, arguments come out trimmed and numbers
// finite.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "sim/CommandParser.h"

namespace {

using fuzzsupport::Require;
using namespace kvxsim;

// Header forms of the instrument: plain, with suffixes, queries, common.
constexpr std::array<std::string_view, 8> kPatterns = {
    "*IDN?", "ZC:USED", "INPut#:COUPling", "DISPlay:TRACe:Y:PDIV#?", "DISPlay:CURSor:TIME#:POSition",
    "SYSTem:SET", "SYSTem:SET?", "MMEMory:DATA?"};

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool Trimmed(std::string_view text) { return text.empty() || (!Blank(text.front()) && !Blank(text.back())); }

void CheckHeader(const Command& command) {
  Require(std::none_of(command.header.begin(), command.header.end(), Blank));
  Require(ToUpper(command.header) == command.header);
  for (std::string_view pattern : kPatterns) {
    int suffix = -1;
    if (MatchHeader(pattern, command.header, suffix)) Require(suffix >= 0 && suffix <= 999999);
  }
}

void CheckArguments(const Command& command) {
  Require(Trimmed(command.arguments));
  for (const std::string& argument : SplitArguments(command.arguments)) {
    Require(Trimmed(argument));
    double real = 0.0;
    if (ParseReal(argument, real)) Require(std::isfinite(real));
    long integer = 0;
    if (ParseInteger(argument, integer)) Require(ParseReal(argument, real) && std::isfinite(real));
    bool boolean = false;
    if (ParseBoolean(argument, boolean)) Require(argument.size() <= 3);
    std::string name;
    if (ParseName(argument, name)) Require(!name.empty() && name.size() <= argument.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CommandSplitter splitter;
  std::vector<ProgramMessage> messages;
  splitter.Feed(data, size, messages);
  for (const ProgramMessage& message : messages) {
    const Command command = SplitCommand(message);
    Require(command.hasBlock == message.hasBlock && command.block == message.block);
    CheckHeader(command);
    CheckArguments(command);
  }
  return 0;
}
