// The program itself, run as a user would: against kvx-sim it identifies the
// instrument and reads a frame; without an instrument it gives the connection
// advice and ends with a failure status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/KvxSimProcess.h"

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

TEST(ProgramProbe, IdentifiesTheInstrumentOverTheCable) {
  testsupport::KvxSimProcess server;
  ASSERT_TRUE(server.Start(0, {"--model", "112", "--serial", "BENCH7"}));
  const RunResult run = RunProgram("--connect 127.0.0.1:" + std::to_string(server.Port()));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Model:       KVX112 (model number 112)"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Serial:      BENCH7"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Self-test:   333F"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Frame:       5045 bytes, header \"1,"), std::string::npos) << run.output;
}

TEST(ProgramProbe, WithoutAnInstrumentItGivesTheAdviceAndFails) {
  testsupport::KvxSimProcess server;
  ASSERT_TRUE(server.Start());
  const std::uint16_t port = server.Port();
  server.Kill();
  const RunResult run = RunProgram("--connect 127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("COMMUNICATION ERROR\nThe attempt to connect to the oscilloscope failed:"),
            std::string::npos)
      << run.output;
}

TEST(ProgramProbe, RejectsAnUnknownOption) {
  const RunResult run = RunProgram("--frobnicate");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("unknown option: --frobnicate"), std::string::npos);
}

}  // namespace
