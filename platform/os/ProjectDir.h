// The application directory: where the program's files are read and written.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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
// Where the program keeps the small files it remembers between runs: the
// application directory, or, when that is not writable (a system install),
// $XDG_CONFIG_HOME/ornikelvarinlab/, which is created when needed.
std::string StateFilePath(const std::string& name);
// $XDG_CONFIG_HOME/ornikelvarinlab, or ~/.config/ornikelvarinlab when the
// variable is unset or not an absolute path.
std::string UserConfigDirectory();
// True when the calling user may create files in `directory`.
bool IsWritableDirectory(const std::string& directory);

// A read-only resource: `name` in the first of ResourceDirectories() that
// holds it; when none does, the path in the application directory.
// Absolute names are returned unchanged.
std::string ResolveResourcePath(const std::string& name);
// Where resources are looked for, in order: the application directory, the
// executable's directory (the build tree), and ../share/ornikelvarinlab
// beside the executable (an installed program).
std::vector<std::string> ResourceDirectories(const std::string& projectDir, const std::string& executableDir);
std::string FindResource(const std::string& name, const std::vector<std::string>& directories);
