#include "link/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr int kSignificantDigits = 10;

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

}  // namespace

std::string FormatReal(double value) {
  if (!std::isfinite(value)) return "0";
  int decimals = 6;
  if (value != 0.0) {
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    decimals = std::clamp(kSignificantDigits - 1 - exponent, 0, 20);
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::optional<double> ParseReal(std::string_view text) {
  text = SkipBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc()) return std::nullopt;
  return value;
}

std::optional<long long> ParseInteger(std::string_view text) {
  text = SkipBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc()) return std::nullopt;
  return value;
}

std::optional<unsigned long long> ParseHex(std::string_view text) {
  text = SkipBlanks(text);
  unsigned long long value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (result.ec != std::errc()) return std::nullopt;
  return value;
}
