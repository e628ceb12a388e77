#include "unit/datafiles/DataFilesTestSupport.h"

#include <fstream>
#include <iterator>

namespace datafiles {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string utf8;
  for (const unsigned char byte : latin1) {
    if (byte < 0x80) {
      utf8 += static_cast<char>(byte);
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

std::string CollapseWhitespace(const std::string& text) {
  std::string collapsed;
  bool inSpace = false;
  for (const char c : text) {
    const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
    // A word the typesetter broke after its hyphen is one word.
    const bool hyphenBreak = c == '\n' && !collapsed.empty() && collapsed.back() == '-';
    if (space && !inSpace && !hyphenBreak) collapsed += ' ';
    if (!space) collapsed += c;
    inSpace = space;
  }
  return collapsed;
}

}  // namespace datafiles
