// The application directory: where the program's files are read and written.
#pragma once

#include <cstddef>
#include <string>

// The executable's directory, or the directory set by SetProjectDirOverride (--app-dir).
int GetProjectDir(std::string* directory);
template <std::size_t N>
int GetProjectDir(char (&directory)[N]) {
  std::string text;
  const int status = GetProjectDir(&text);
  const std::size_t count = text.size() < N - 1 ? text.size() : N - 1;
  text.copy(directory, count);
  directory[count] = '\0';
  return text.size() < N ? status : -1;
}
// An empty text removes the override.
void SetProjectDirOverride(const std::string& directory);
std::string GetExecutableDir();
// A read-only resource: `name` in the application directory when it is there,
// otherwise beside the executable. Absolute names are returned unchanged.
std::string ResolveResourcePath(const std::string& name);
