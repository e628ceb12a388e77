#include "platform/visa/ResourceExpr.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace visa {

struct ResourceExpression::Node {
  enum class Kind { Or, And, Not, Compare };
  enum class Operand { ManfId, ModelCode, Number };
  enum class Op { Eq, Ne, Lt, Le, Gt, Ge };
  Kind kind = Kind::Compare;
  std::shared_ptr<const Node> left, right;  // Or/And: both; Not: left
  Op op = Op::Eq;
  Operand lhs = Operand::Number, rhs = Operand::Number;
  std::uint64_t lhsValue = 0, rhsValue = 0;

  bool Evaluate(const ResourceFacts& facts) const;
};

namespace {

using Node = ResourceExpression::Node;
using Atom = ResourceExpression::Atom;
using NodePtr = std::shared_ptr<const Node>;

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Parses "[...]" starting after the '['; `pos` ends after the ']'.
bool ParseClass(std::string_view text, std::size_t& pos, Atom& atom) {
  if (pos < text.size() && text[pos] == '^') {
    atom.negate = true;
    ++pos;
  }
  bool first = true;
  while (pos < text.size() && (text[pos] != ']' || first)) {
    char lo = text[pos++];
    if (lo == '\\') {
      if (pos >= text.size()) return false;
      lo = text[pos++];
    }
    char hi = lo;
    if (pos + 1 < text.size() && text[pos] == '-' && text[pos + 1] != ']') {
      hi = text[pos + 1];
      pos += 2;
      if (hi < lo) return false;
    }
    atom.ranges.emplace_back(lo, hi);
    first = false;
  }
  if (pos >= text.size()) return false;  // no closing bracket
  ++pos;
  return true;
}

// Descriptor pattern up to the attribute expression's '{' (or the end).
bool ParsePattern(std::string_view text, std::size_t& pos, std::vector<Atom>& out) {
  while (pos < text.size() && text[pos] != '{') {
    char c = text[pos++];
    if (c == '*' || c == '+') {
      if (out.empty() || out.back().repeat != Atom::Repeat::One) return false;
      out.back().repeat = c == '*' ? Atom::Repeat::ZeroOrMore : Atom::Repeat::OneOrMore;
      continue;
    }
    // Grouping and alternation are not supported; refuse rather than
    // silently treat them as literal characters.
    if (c == '(' || c == ')' || c == '|' || c == '}' || c == ']') return false;
    Atom atom;
    if (c == '?') {
      atom.any = true;
    } else if (c == '[') {
      if (!ParseClass(text, pos, atom)) return false;
    } else {
      if (c == '\\') {
        if (pos >= text.size()) return false;
        c = text[pos++];
      }
      atom.ranges.emplace_back(c, c);
    }
    out.push_back(std::move(atom));
  }
  return !out.empty();
}

// Recursive-descent parser for the attribute expression:
//   or   := and { "||" and }
//   and  := unary { "&&" unary }
//   unary:= "!" unary | "(" or ")" | operand cmp operand
class FilterParser {
 public:
  explicit FilterParser(std::string_view text) : text_(text) {}

  NodePtr ParseAll() {
    NodePtr n = ParseOr();
    SkipSpace();
    return (n && pos_ == text_.size()) ? n : nullptr;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  bool Accept(std::string_view token) {
    SkipSpace();
    if (text_.substr(pos_, token.size()) != token) return false;
    pos_ += token.size();
    return true;
  }
  NodePtr Binary(Node::Kind kind, NodePtr l, NodePtr r) {
    auto n = std::make_shared<Node>();
    n->kind = kind;
    n->left = std::move(l);
    n->right = std::move(r);
    return n;
  }

  NodePtr ParseOr() {
    NodePtr l = ParseAnd();
    while (l && Accept("||")) {
      NodePtr r = ParseAnd();
      if (!r) return nullptr;
      l = Binary(Node::Kind::Or, l, r);
    }
    return l;
  }
  NodePtr ParseAnd() {
    NodePtr l = ParseUnary();
    while (l && Accept("&&")) {
      NodePtr r = ParseUnary();
      if (!r) return nullptr;
      l = Binary(Node::Kind::And, l, r);
    }
    return l;
  }
  NodePtr ParseUnary() {
    if (++depth_ > kMaxDepth) return nullptr;  // bounded recursion on hostile input
    NodePtr n;
    if (Accept("!")) {
      NodePtr inner = ParseUnary();
      if (inner) n = Binary(Node::Kind::Not, inner, nullptr);
    } else if (Accept("(")) {
      NodePtr inner = ParseOr();
      if (inner && Accept(")")) n = inner;
    } else {
      n = ParseComparison();
    }
    --depth_;
    return n;
  }
  NodePtr ParseComparison() {
    auto n = std::make_shared<Node>();
    if (!ParseOperand(n->lhs, n->lhsValue)) return nullptr;
    if (!ParseOp(n->op)) return nullptr;
    if (!ParseOperand(n->rhs, n->rhsValue)) return nullptr;
    return n;
  }
  bool ParseOp(Node::Op& op) {
    static constexpr std::pair<std::string_view, Node::Op> kOps[] = {
        {"==", Node::Op::Eq}, {"!=", Node::Op::Ne}, {"<=", Node::Op::Le},
        {">=", Node::Op::Ge}, {"<", Node::Op::Lt},  {">", Node::Op::Gt}};
    for (const auto& [token, value] : kOps) {
      if (Accept(token)) {
        op = value;
        return true;
      }
    }
    return false;
  }
  bool ParseOperand(Node::Operand& kind, std::uint64_t& value) {
    SkipSpace();
    if (pos_ >= text_.size()) return false;
    const unsigned char c = static_cast<unsigned char>(text_[pos_]);
    if (std::isdigit(c)) {
      kind = Node::Operand::Number;
      return ParseNumber(value);
    }
    if (!std::isalpha(c) && c != '_') return false;
    std::size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) ++pos_;
    std::string_view name = text_.substr(start, pos_ - start);
    if (EqualsNoCase(name, "VI_ATTR_MANF_ID")) {
      kind = Node::Operand::ManfId;
    } else if (EqualsNoCase(name, "VI_ATTR_MODEL_CODE")) {
      kind = Node::Operand::ModelCode;
    } else {
      return false;  // an attribute this search cannot evaluate
    }
    return true;
  }
  bool ParseNumber(std::uint64_t& value) {
    unsigned base = 10;
    if (text_.substr(pos_, 2) == "0x" || text_.substr(pos_, 2) == "0X") {
      base = 16;
      pos_ += 2;
    }
    std::size_t digits = 0;
    value = 0;
    for (; pos_ < text_.size(); ++pos_, ++digits) {
      const int d = DigitValue(text_[pos_], base);
      if (d < 0) break;
      value = value * base + static_cast<unsigned>(d);
      if (value > 0xFFFFFFFFull) return false;
    }
    // "12abc" or "0x" are not numbers.
    if (digits == 0) return false;
    return pos_ >= text_.size() || !std::isalnum(static_cast<unsigned char>(text_[pos_]));
  }
  static int DigitValue(char c, unsigned base) {
    if (c >= '0' && c <= '9') return c - '0';
    const char l = Lower(c);
    if (base == 16 && l >= 'a' && l <= 'f') return l - 'a' + 10;
    return -1;
  }

  static constexpr int kMaxDepth = 64;
  std::string_view text_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

std::uint64_t OperandValue(Node::Operand kind, std::uint64_t literal, const ResourceFacts& facts) {
  switch (kind) {
    case Node::Operand::ManfId: return facts.manufacturerId;
    case Node::Operand::ModelCode: return facts.modelCode;
    case Node::Operand::Number: return literal;
  }
  return literal;
}

}  // namespace

bool Node::Evaluate(const ResourceFacts& facts) const {
  switch (kind) {
    case Kind::Or: return left->Evaluate(facts) || right->Evaluate(facts);
    case Kind::And: return left->Evaluate(facts) && right->Evaluate(facts);
    case Kind::Not: return !left->Evaluate(facts);
    case Kind::Compare: break;
  }
  const std::uint64_t a = OperandValue(lhs, lhsValue, facts);
  const std::uint64_t b = OperandValue(rhs, rhsValue, facts);
  switch (op) {
    case Op::Eq: return a == b;
    case Op::Ne: return a != b;
    case Op::Lt: return a < b;
    case Op::Le: return a <= b;
    case Op::Gt: return a > b;
    case Op::Ge: return a >= b;
  }
  return false;
}

bool Atom::Accepts(char c) const {
  if (any) return true;
  bool in = false;
  const char l = Lower(c), u = Upper(c);
  for (const auto& [lo, hi] : ranges) {
    if ((l >= lo && l <= hi) || (u >= lo && u <= hi)) {
      in = true;
      break;
    }
  }
  return in != negate;
}

std::optional<ResourceExpression> ResourceExpression::Parse(std::string_view text) {
  ResourceExpression expr;
  std::size_t pos = 0;
  if (!ParsePattern(text, pos, expr.pattern_)) return std::nullopt;
  if (pos == text.size()) return expr;
  // text[pos] is '{': the filter runs to a closing brace that ends the text.
  std::size_t close = text.find_last_not_of(" \t\r\n");
  if (close == std::string_view::npos || close <= pos || text[close] != '}') return std::nullopt;
  expr.filter_ = FilterParser(text.substr(pos + 1, close - pos - 1)).ParseAll();
  if (!expr.filter_) return std::nullopt;
  return expr;
}

// Set-of-positions simulation: linear in pattern x text, no backtracking.
bool ResourceExpression::MatchDescriptor(std::string_view text) const {
  const std::size_t n = text.size();
  std::vector<char> cur(n + 1, 0), next(n + 1, 0);
  cur[0] = 1;
  for (const Atom& atom : pattern_) {
    std::fill(next.begin(), next.end(), 0);
    if (atom.repeat == Atom::Repeat::ZeroOrMore) next = cur;
    for (std::size_t j = 0; j < n; ++j)
      if (cur[j] && atom.Accepts(text[j])) next[j + 1] = 1;
    if (atom.repeat != Atom::Repeat::One) {
      for (std::size_t j = 0; j < n; ++j)
        if (next[j] && atom.Accepts(text[j])) next[j + 1] = 1;
    }
    cur.swap(next);
  }
  return cur[n] != 0;
}

bool ResourceExpression::Matches(const ResourceFacts& facts) const {
  if (!MatchDescriptor(facts.descriptor)) return false;
  return !filter_ || filter_->Evaluate(facts);
}

}  // namespace visa
