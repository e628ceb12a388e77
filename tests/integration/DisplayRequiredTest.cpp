// Started where no window can open (a service, a remote shell without X
// forwarding, a display that went away), the program says it needs a
// graphical display and ends with status 1, rather than aborting with the
// toolkit's advice to reinstall.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct ProgramRun {
  int exitCode = -1;
  bool signalled = false;
  std::string output;
};

// Runs the program with only `environment` (and no inherited variables).
ProgramRun RunWithEnvironment(const std::string& environment, const std::string& appDir) {
  ProgramRun result;
  const std::string command =
      "env -i " + environment + " " + ORNI_PROGRAM_PATH + " --simulate --app-dir '" + appDir + "' 2>&1 </dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
  const int status = pclose(pipe);
  result.signalled = WIFSIGNALED(status);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(DisplayRequired, WithoutADisplayTheProgramSaysSoAndEndsWithStatusOne) {
  const struct {
    const char* name;
    std::string environment;
    std::string expected;
  } rows[] = {
      {"none set", "", "needs a graphical display, and none is set"},
      {"empty", "DISPLAY= WAYLAND_DISPLAY=", "needs a graphical display, and none is set"},
      {"unreachable", "DISPLAY=:99999", "needs a graphical display, and the display \":99999\" cannot be reached"},
  };
  const std::filesystem::path appDir =
      std::filesystem::temp_directory_path() / ("orni-no-display-" + std::to_string(::getpid()));
  std::filesystem::create_directories(appDir);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ProgramRun run = RunWithEnvironment(row.environment, appDir.string());
    EXPECT_FALSE(run.signalled) << run.output;
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(run.output.starts_with("ORNIKELVARINLAB " + row.expected)) << run.output;
    EXPECT_EQ(run.output.find("Reinstalling"), std::string::npos) << run.output;
    EXPECT_TRUE(std::filesystem::is_empty(appDir)) << "nothing is written before a window can open";
  }
  std::filesystem::remove_all(appDir);
}

}  // namespace
