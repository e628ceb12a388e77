#include "app/FirstRunFile.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "catalogue/MessageCatalogue.h"
#include "platform/os/AtomicFile.h"
#include "platform/os/SmallFileRead.h"

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
  const auto bytes = ReadSmallFile(path, kMaxFileBytes);
  if (!bytes) return state;
  std::string_view rest(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  int done = 0;
  if (!ReadInteger(rest, done)) return state;
  state.fileRead = true;
  state.firstRunDone = done;
  // A file cut after its flag line keeps English.
  int language = 0;
  if (ReadInteger(rest, language) && language >= 0 && language < kLanguageCount) state.language = language;
  return state;
}

bool WriteFirstRunFile(const std::string& path, int language) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "1\n%i\n", language);
  return WriteFileAtomically(path, std::string_view(text, static_cast<std::size_t>(length)));
}
