#include "app/FirstRunFile.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <fstream>

#include "app/MessageCatalogue.h"
#include "platform/os/AtomicFile.h"

namespace {

constexpr std::size_t kMaxFileBytes = 256;

// Takes the next decimal integer (leading white space skipped) off `text`.
bool ReadInteger(std::string_view& text, int& value) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc()) return false;
  text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
  return true;
}

}  // namespace

FirstRunState ReadFirstRunFile(const std::string& path) {
  FirstRunState state;
  std::ifstream in(path, std::ios::binary);
  if (!in) return state;
  std::string text(kMaxFileBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  std::string_view rest = text;
  int done = 0;
  int language = 0;
  if (!ReadInteger(rest, done) || !ReadInteger(rest, language)) return state;
  state.fileRead = true;
  state.firstRunDone = done;
  state.language = language >= 0 && language < kLanguageCount ? language : 0;
  return state;
}

bool WriteFirstRunFile(const std::string& path, int language) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "1\n%i\n", language);
  return WriteFileAtomically(path, std::string_view(text, static_cast<std::size_t>(length)));
}
