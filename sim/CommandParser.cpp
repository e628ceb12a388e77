#include "sim/CommandParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kvxsim {
namespace {

constexpr char kTerminator = '\r';
// A block header ("#" n and n digits) must follow a header of this size or less.
constexpr std::size_t kBlockHeaderWindow = 96;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Start of the argument text: after the leading blanks, the header and the
// blanks behind it. npos while the header is not yet complete.
std::size_t ArgumentStart(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  while (i < text.size() && !IsSpace(text[i])) ++i;
  if (i == text.size()) return std::string_view::npos;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i;
}

struct Node {
  std::string_view name;
  int suffix = -1;
};

// Splits "VOLT12" into "VOLT" and 12; a node of digits only is kept as a name.
Node SplitSuffix(std::string_view node) {
  std::size_t end = node.size();
  while (end > 0 && IsDigit(node[end - 1])) --end;
  if (end == 0 || end == node.size() || node.size() - end > 6) return {node, -1};
  int suffix = 0;
  std::from_chars(node.data() + end, node.data() + node.size(), suffix);
  return {node.substr(0, end), suffix};
}

bool MatchNode(std::string_view pattern, Node given) {
  const bool takesSuffix = !pattern.empty() && pattern.back() == '#';
  if (takesSuffix) pattern.remove_suffix(1);
  if (given.suffix >= 0 && !takesSuffix) return false;
  std::size_t shortLength = 0;
  while (shortLength < pattern.size() && !(pattern[shortLength] >= 'a' && pattern[shortLength] <= 'z')) {
    ++shortLength;
  }
  const std::string longForm = ToUpper(pattern);
  return given.name == pattern.substr(0, shortLength) || given.name == longForm;
}

std::string_view NextNode(std::string_view& rest) {
  const std::size_t colon = rest.find(':');
  std::string_view node = rest.substr(0, colon);
  rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
  return node;
}

}  // namespace

void CommandSplitter::Reset() {
  pending_.clear();
  inBlock_ = false;
  blockRemaining_ = 0;
  block_.clear();
  overlong_ = false;
}

void CommandSplitter::Finish(std::vector<ProgramMessage>& out) {
  const bool blank = std::all_of(pending_.begin(), pending_.end(), [](char c) { return IsSpace(c); });
  if (!blank || inBlock_ || overlong_) {
    ProgramMessage message;
    message.text = std::move(pending_);
    message.hasBlock = inBlock_;
    message.block = std::move(block_);
    message.overlong = overlong_;
    out.push_back(std::move(message));
  }
  Reset();
}

void CommandSplitter::CheckBlockStart() {
  if (pending_.size() > kBlockHeaderWindow || !IsDigit(pending_.back())) return;
  const std::size_t start = ArgumentStart(pending_);
  if (start == std::string::npos || start + 2 > pending_.size() || pending_[start] != '#') return;
  const int digits = pending_[start + 1] - '0';
  if (digits < 1 || digits > 9 || pending_.size() != start + 2 + static_cast<std::size_t>(digits)) return;
  std::size_t length = 0;
  for (std::size_t i = start + 2; i < pending_.size(); ++i) {
    length = length * 10 + static_cast<std::size_t>(pending_[i] - '0');
  }
  pending_.resize(start);
  while (!pending_.empty() && IsSpace(pending_.back())) pending_.pop_back();
  inBlock_ = true;
  blockRemaining_ = length;
  block_.clear();
}

void CommandSplitter::Feed(const std::uint8_t* data, std::size_t count, std::vector<ProgramMessage>& out) {
  std::size_t i = 0;
  while (i < count) {
    if (inBlock_) {
      const std::size_t take = std::min(blockRemaining_, count - i);
      const std::size_t keep = std::min(take, kMaxBlock - std::min(kMaxBlock, block_.size()));
      block_.insert(block_.end(), data + i, data + i + keep);
      blockRemaining_ -= take;
      i += take;
      // The block ends the command; the terminator after it is an empty command.
      if (blockRemaining_ == 0) Finish(out);
      continue;
    }
    const char c = static_cast<char>(data[i++]);
    if (c == kTerminator) {
      Finish(out);
      continue;
    }
    if (pending_.size() >= kMaxPending) {
      overlong_ = true;
      continue;
    }
    pending_.push_back(c);
    CheckBlockStart();
  }
}

Command SplitCommand(const ProgramMessage& message) {
  std::string_view text = Trim(message.text);
  if (!text.empty() && text.front() == ':') text.remove_prefix(1);
  const auto space = std::find_if(text.begin(), text.end(), IsSpace);
  Command command;
  command.header = ToUpper(std::string_view(text.begin(), space));
  command.arguments = std::string(Trim(std::string_view(space, text.end())));
  command.block = message.block;
  command.hasBlock = message.hasBlock;
  return command;
}

bool MatchHeader(std::string_view pattern, std::string_view header, int& suffix) {
  suffix = 1;
  if (pattern.starts_with('*')) return pattern == header;
  const bool patternQuery = pattern.ends_with('?');
  const bool headerQuery = header.ends_with('?');
  if (patternQuery != headerQuery) return false;
  if (patternQuery) {
    pattern.remove_suffix(1);
    header.remove_suffix(1);
  }
  while (!pattern.empty() && !header.empty()) {
    const Node given = SplitSuffix(NextNode(header));
    if (!MatchNode(NextNode(pattern), given)) return false;
    if (given.suffix >= 0) suffix = given.suffix;
  }
  return pattern.empty() && header.empty();
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
  std::vector<std::string> out;
  if (Trim(arguments).empty()) return out;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= arguments.size(); ++i) {
    const char c = i < arguments.size() ? arguments[i] : ',';
    if (quote != 0) {
      if (c == quote) quote = 0;
      if (i < arguments.size()) continue;
    } else if (c == '"' || c == '\'') {
      quote = c;
      continue;
    }
    if (c == ',') {
      out.emplace_back(Trim(arguments.substr(start, i - start)));
      start = i + 1;
    }
  }
  return out;
}

bool ParseReal(std::string_view text, double& value) {
  text = Trim(text);
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty()) return false;
  double parsed = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool ParseInteger(std::string_view text, long& value) {
  text = Trim(text);
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty()) return false;
  long parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool ParseBoolean(std::string_view text, bool& value) {
  const std::string word = ToUpper(Trim(text));
  if (word == "1" || word == "ON") {
    value = true;
  } else if (word == "0" || word == "OFF") {
    value = false;
  } else {
    return false;
  }
  return true;
}

bool ParseName(std::string_view text, std::string& name) {
  text = Trim(text);
  if (!text.empty() && (text.front() == '"' || text.front() == '\'')) {
    if (text.size() < 2 || text.back() != text.front()) return false;
    text = text.substr(1, text.size() - 2);
  }
  if (text.empty()) return false;
  name = std::string(text);
  return true;
}

std::string ToUpper(std::string_view text) {
  // ASCII only: the host's locale must not change how words compare.
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace kvxsim
