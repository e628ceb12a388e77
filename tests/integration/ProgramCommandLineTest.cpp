// The program's command line, answered before any window opens (the windows
// themselves are exercised by the end-to-end test under Xvfb).
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/visa/CableFraming.h"

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

// An IPv6 address goes in brackets; a bare one is refused, since its colons
// leave the port in doubt.
TEST(ProgramCommandLine, ConnectRefusesMalformedAddresses) {
  for (const char* address : {"'[::1'", "'[::1]'", "'[::1]4000'", "'[]:4000'", "::1:4000", "'[::1]:'",
                              "'[::1]:x'", "'[::1]:70000'", "host:", ":4000", "'[::1]:4000]'"}) {
    const RunResult run = RunProgram(std::string("--connect ") + address);
    EXPECT_EQ(run.exitCode, 2) << address;
    EXPECT_NE(run.output.find("--connect takes HOST:PORT"), std::string::npos) << address << ": " << run.output;
  }
}

// The program started with --connect [::1]:PORT opens the instrument over a
// cable to ::1: the peer here is the test, so it sees the open's first bytes.
TEST(ProgramCommandLine, ConnectReachesAPeerOnTheIpv6Loopback) {
  const int listener = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  socklen_t length = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener, 1) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listener);
    GTEST_SKIP() << "no IPv6 loopback here";
  }
  // An application directory whose first run is done, so nothing is asked.
  const std::filesystem::path appDir =
      std::filesystem::temp_directory_path() / ("orni-connect-v6-" + std::to_string(::getpid()));
  std::filesystem::create_directories(appDir);
  std::ofstream(appDir / "setupD.7up") << "1\n0\n";
  const std::string output = (appDir / "output.txt").string();
  FILE* shell = popen(("QT_QPA_PLATFORM=offscreen " ORNI_PROGRAM_PATH " --app-dir '" + appDir.string() +
                       "' --connect '[::1]:" + std::to_string(ntohs(address.sin6_port)) + "' >'" + output +
                       "' 2>&1 </dev/null & echo $!")
                          .c_str(),
                      "r");
  ASSERT_NE(shell, nullptr);
  int pid = 0;
  const bool started = std::fscanf(shell, "%d", &pid) == 1 && pid > 0;
  pclose(shell);

  std::string opening;
  pollfd waiting{listener, POLLIN, 0};
  if (started && ::poll(&waiting, 1, 30000) == 1) {
    const int cable = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    static constexpr std::uint8_t kOpen[] = {'O', 'P', 'E', 'N'};
    std::vector<std::uint8_t> frame;
    if (visa::WriteCableFrame(cable, kOpen, sizeof kOpen, std::chrono::seconds(5)) == visa::CableWrite::Ok &&
        visa::ReadCableFrame(cable, frame, std::chrono::seconds(10)) == visa::CableRead::Ok)
      opening.assign(frame.begin(), frame.end());
    ::close(cable);
  }
  if (started) ::kill(pid, SIGKILL);
  ::close(listener);
  std::ifstream log(output);
  const std::string said((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  std::filesystem::remove_all(appDir);
  ASSERT_TRUE(started);
  EXPECT_EQ(opening, "\r*IDN?\r") << "the program said:\n" << said;
}

}  // namespace
