// The program's command line, answered before any window opens (the windows
// themselves are exercised by the end-to-end test under Xvfb).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>


namespace {

struct RunResult {
  int exitCode = -1;
  std::string output;
};

RunResult RunProgram(const std::string& arguments) {
  RunResult result;
  const std::string command = std::string(ORNI_PROGRAM_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) result.output += buffer;
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(ProgramCommandLine, VersionAndHelpNeedNoWindow) {
  RunResult run = RunProgram("--version");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "ORNIKELVARINLAB v1.00\n");
  run = RunProgram("--help");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("--simulate[=MODEL]"), std::string::npos);
  EXPECT_NE(run.output.find("--connect HOST:PORT"), std::string::npos);
  EXPECT_NE(run.output.find("--app-dir DIR"), std::string::npos);
}

TEST(ProgramCommandLine, RejectsAnUnknownOption) {
  const RunResult run = RunProgram("--frobnicate");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("unknown option: --frobnicate"), std::string::npos);
}

}  // namespace
