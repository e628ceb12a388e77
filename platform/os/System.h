// Operating-system services the program needs: file dates, the system's
// version and directories, running a command, and handing a document or a
// web address to the desktop's default application.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct CalendarDate {
  int day = 0;    // 1..31
  int month = 0;  // 1..12
  int year = 0;
};

// The local-time modification date of a file; false when it cannot be read.
bool FileModificationDate(const std::string& path, CalendarDate& date);

struct OsVersion {
  int major = 0;
  int minor = 0;
};
// The kernel release (e.g. 6.1 for "6.1.0-18-amd64").
OsVersion GetOsVersion();

// The system's own directory (the Windows directory on Windows, /etc here).
std::string SystemDirectory();
// Where system-wide device rules are installed (udev).
std::string SystemRulesDirectory();

// Runs argv[0] (searched in PATH) with its arguments and waits for it to end.
// Returns its exit status, or -1 when it could not be started or was killed.
int RunCommandAndWait(const std::vector<std::string>& argv);

// Hands `path` / `url` to the desktop (xdg-open) without waiting for the
// viewer. 0 when the opener was started, -1 otherwise.
int OpenDocumentInDefaultViewer(const std::string& path);
int InetLaunchDefaultWebBrowser(const std::string& url);
// Replaces the desktop as the receiver of both (a test records what the
// program opens); an empty function puts the desktop back.
using DesktopOpener = std::function<int(const std::string& target)>;
void SetDesktopOpener(DesktopOpener opener);
