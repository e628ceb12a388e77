// Where the build puts the files that ship beside the program, and how to read them.
#pragma once

#include <filesystem>
#include <string>

namespace datafiles {

// The application directory of the build tree: the program's own directory.
inline std::filesystem::path BuildDirectory() { return std::filesystem::path(ORNI_PROGRAM_PATH).parent_path(); }

// The whole file, or "" when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// The catalogue keeps Latin-1; the manuals are UTF-8.
std::string Latin1ToUtf8(const std::string& latin1);

// Runs of spaces, tabs and line ends become one space, so that a phrase the
// typesetter broke across lines (also after a hyphen) still reads as written.
std::string CollapseWhitespace(const std::string& text);

}  // namespace datafiles
