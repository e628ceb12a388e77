// File dates, running commands and handing documents to the desktop.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/os/System.h"

namespace {

namespace fs = std::filesystem;

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/orni-os-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~ScratchDir() { fs::remove_all(path_); }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

TEST(System, FileModificationDateIsTheLocalDate) {
  ScratchDir dir;
  const fs::path file = dir.Path() / "ORNIKELVARINLAB";
  std::ofstream(file) << "x";
  std::tm when{};
  when.tm_mday = 7;
  when.tm_mon = 2;
  when.tm_year = 2013 - 1900;
  when.tm_hour = 12;
  when.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&when), 0}, {std::mktime(&when), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  CalendarDate date;
  ASSERT_TRUE(FileModificationDate(file.string(), date));
  EXPECT_EQ(date.day, 7);
  EXPECT_EQ(date.month, 3);
  EXPECT_EQ(date.year, 2013);
  EXPECT_FALSE(FileModificationDate((dir.Path() / "missing").string(), date));
}

TEST(System, RunsACommandAndReturnsItsStatus) {
  EXPECT_EQ(RunCommandAndWait({"sh", "-c", "exit 3"}), 3);
  EXPECT_EQ(RunCommandAndWait({"true"}), 0);
  EXPECT_EQ(RunCommandAndWait({"no-such-command-orni"}), -1);
  EXPECT_EQ(RunCommandAndWait({}), -1);
  EXPECT_GT(GetOsVersion().major, 0);
}

TEST(System, DocumentsAndAddressesGoToTheDesktopOpener) {
  // A stand-in xdg-open first in PATH records what it was given.
  ScratchDir dir;
  const fs::path log = dir.Path() / "opened";
  const fs::path opener = dir.Path() / "xdg-open";
  std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> " << log.string() << "\n";
  fs::permissions(opener, fs::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir.Path().string() + ":" + oldPath).c_str(), 1);
  EXPECT_EQ(OpenDocumentInDefaultViewer("/opt/help/manual gb.pdf"), 0);
  EXPECT_EQ(InetLaunchDefaultWebBrowser("http://example.invalid/kvx"), 0);
  setenv("PATH", oldPath.c_str(), 1);

  std::string contents;
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(log);
    contents.assign(std::istreambuf_iterator<char>(in), {});
    if (contents.find("kvx") != std::string::npos && contents.find("manual") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_NE(contents.find("/opt/help/manual gb.pdf\n"), std::string::npos);
  EXPECT_NE(contents.find("http://example.invalid/kvx\n"), std::string::npos);
}

}  // namespace
