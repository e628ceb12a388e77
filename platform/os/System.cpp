#include "platform/os/System.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <thread>
#include <utility>

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  std::vector<std::string> copy = argv;
  std::vector<char*> args;
  for (std::string& arg : copy) args.push_back(arg.data());
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
  return pid;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The opener runs on; a detached waiter reaps it so no zombie is left.
int LaunchDetached(const std::vector<std::string>& argv) {
  const pid_t pid = Spawn(argv);
  if (pid < 0) return -1;
  std::thread([pid] { WaitForExit(pid); }).detach();
  return 0;
}

std::mutex openerMutex;
DesktopOpener replacedOpener;

int OpenOnDesktop(const std::string& target) {
  DesktopOpener opener;
  {
    std::lock_guard lock(openerMutex);
    opener = replacedOpener;
  }
  return opener ? opener(target) : LaunchDetached({"xdg-open", target});
}

}  // namespace

bool FileModificationDate(const std::string& path, CalendarDate& date) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  std::tm local{};
  if (localtime_r(&info.st_mtime, &local) == nullptr) return false;
  date = {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
  return true;
}

OsVersion GetOsVersion() {
  utsname name{};
  OsVersion version;
  if (uname(&name) == 0) std::sscanf(name.release, "%d.%d", &version.major, &version.minor);
  return version;
}

std::string SystemDirectory() {
#ifdef _WIN32
  const char* windows = std::getenv("WINDIR");
  return windows ? windows : "C:\\Windows";
#else
  return "/etc";
#endif
}

std::string SystemRulesDirectory() { return SystemDirectory() + "/udev/rules.d"; }

int RunCommandAndWait(const std::vector<std::string>& argv) {
  const pid_t pid = Spawn(argv);
  return pid < 0 ? -1 : WaitForExit(pid);
}

int OpenDocumentInDefaultViewer(const std::string& path) { return OpenOnDesktop(path); }

int InetLaunchDefaultWebBrowser(const std::string& url) { return OpenOnDesktop(url); }

void SetDesktopOpener(DesktopOpener opener) {
  std::lock_guard lock(openerMutex);
  replacedOpener = std::move(opener);
}
