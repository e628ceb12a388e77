// Where the program finds its read-only resources (build tree, --app-dir,
// installed tree) and where it keeps its state files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/os/ProjectDir.h"

namespace {

namespace fs = std::filesystem;

// An installed tree under a scratch root: usr/bin beside usr/share/ornikelvarinlab.
class ResourceLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orni-dirs-XXXXXX";
    root_ = mkdtemp(pattern);
    app_ = root_ / "app";
    bin_ = root_ / "usr" / "bin";
    share_ = root_ / "usr" / "share" / "ornikelvarinlab";
    fs::create_directories(app_);
    fs::create_directories(bin_);
    fs::create_directories(share_);
  }
  void TearDown() override {
    SetProjectDirOverride("");
    fs::remove_all(root_);
  }
  static void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
  }
  std::string Find(const std::string& name) const {
    return FindResource(name, ResourceDirectories(app_.string(), bin_.string()));
  }

  fs::path root_;
  fs::path app_;
  fs::path bin_;
  fs::path share_;
};

TEST_F(ResourceLookupTest, InstalledTreeIsSearchedLast) {
  const std::vector<std::string> directories = ResourceDirectories(app_.string(), bin_.string());
  ASSERT_EQ(directories.size(), 3u);
  EXPECT_EQ(directories[2], share_.string()) << "the share directory, without ../ in it";

  Touch(share_ / "help" / "manual.pdf");
  EXPECT_EQ(Find("help/manual.pdf"), (share_ / "help" / "manual.pdf").string());
  Touch(bin_ / "help" / "manual.pdf");
  EXPECT_EQ(Find("help/manual.pdf"), (bin_ / "help" / "manual.pdf").string()) << "the build tree wins";
  Touch(app_ / "help" / "manual.pdf");
  EXPECT_EQ(Find("help/manual.pdf"), (app_ / "help" / "manual.pdf").string()) << "the application directory wins";
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

using StateFileTest = ResourceLookupTest;

TEST_F(StateFileTest, WritableApplicationDirectoryKeepsTheStateFiles) {
  ScopedEnv config("XDG_CONFIG_HOME", (root_ / "config").c_str());
  SetProjectDirOverride(app_.string());
  EXPECT_EQ(StateFilePath("setupD.7up"), (app_ / "setupD.7up").string());
  EXPECT_FALSE(fs::exists(root_ / "config")) << "nothing made in the user's configuration";
}

TEST_F(StateFileTest, UnwritableApplicationDirectoryMovesThemToTheUserConfiguration) {
  ScopedEnv config("XDG_CONFIG_HOME", (root_ / "config").c_str());
  // Root writes anywhere; a directory that is not there is unwritable to all.
  const fs::path unwritable = root_ / "usr" / "lib" / "missing";
  SetProjectDirOverride(unwritable.string());
  EXPECT_EQ(StateFilePath("Ornikelva.okv"), (root_ / "config" / "ornikelvarinlab" / "Ornikelva.okv").string());
  EXPECT_TRUE(fs::is_directory(root_ / "config" / "ornikelvarinlab")) << "created for the first save";
  if (geteuid() != 0) {
    chmod(bin_.c_str(), 0555);
    SetProjectDirOverride(bin_.string());
    EXPECT_EQ(StateFilePath("setupD.7up"), (root_ / "config" / "ornikelvarinlab" / "setupD.7up").string());
    chmod(bin_.c_str(), 0755);
  }
}

TEST_F(StateFileTest, UserConfigurationFollowsTheBaseDirectoryRules) {
  ScopedEnv home("HOME", root_.c_str());
  const std::string inHome = (root_ / ".config" / "ornikelvarinlab").string();
  for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/config"}) {
    ScopedEnv config("XDG_CONFIG_HOME", ignored);
    EXPECT_EQ(UserConfigDirectory(), inHome) << (ignored ? ignored : "unset");
  }
  ScopedEnv config("XDG_CONFIG_HOME", "/srv/cfg");
  EXPECT_EQ(UserConfigDirectory(), "/srv/cfg/ornikelvarinlab");
}

}  // namespace
