// Resource search expressions: a regular expression on the descriptor
// (case-insensitive, anchored at both ends), optionally followed by an
// attribute expression in braces, e.g.
//   USB?*RAW{VI_ATTR_MANF_ID == 0x2177 && (VI_ATTR_MODEL_CODE == 0x1004)}
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace visa {

// What an expression can be evaluated against.
struct ResourceFacts {
  std::string descriptor;
  std::uint16_t manufacturerId = 0;
  std::uint16_t modelCode = 0;
};

class ResourceExpression {
 public:
  // nullopt when the expression is malformed.
  static std::optional<ResourceExpression> Parse(std::string_view text);

  bool Matches(const ResourceFacts& facts) const;

  // One element of the descriptor pattern: a character class with a repeat.
  struct Atom {
    enum class Repeat { One, ZeroOrMore, OneOrMore };
    bool any = false;     // '?'
    bool negate = false;  // [^...]
    std::vector<std::pair<char, char>> ranges;  // inclusive, lower-cased
    Repeat repeat = Repeat::One;
    bool Accepts(char c) const;
  };

  // Node of the attribute expression tree.
  struct Node;

 private:
  bool MatchDescriptor(std::string_view text) const;

  std::vector<Atom> pattern_;
  std::shared_ptr<const Node> filter_;  // null: no attribute expression
};

}  // namespace visa
