// Runs kvx-sim as a separate process for tests and learns its port from the
// first line it prints.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>

extern char** environ;

namespace testsupport {

class KvxSimProcess {
 public:
  // Starts `kvx-sim --listen <host>:<port>` plus `extra`; port 0 picks one.
  // An IPv6 host goes in brackets, e.g. "[::1]".
  bool Start(std::uint16_t port = 0, const std::vector<std::string>& extra = {},
             const std::string& host = "127.0.0.1") {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<std::string> args = {KVX_SIM_PATH, "--listen", host + ":" + std::to_string(port)};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid_, KVX_SIM_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
      close(pipeFds[0]);
      pid_ = 0;
      return false;
    }
    out_ = pipeFds[0];
    return ReadPort();
  }

  std::uint16_t Port() const { return port_; }
  // The first line it printed, e.g. "listening on 127.0.0.1:4000".
  const std::string& Announcement() const { return announcement_; }

  // Ends the process the hard way, as a pulled cable would.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
    if (out_ >= 0) close(out_);
    out_ = -1;
  }

  ~KvxSimProcess() { Kill(); }

 private:
  bool ReadPort() {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd fd{out_, POLLIN, 0};
      if (poll(&fd, 1, 100) <= 0) continue;
      char c;
      if (read(out_, &c, 1) != 1) return false;
      if (c == '\n') break;
      line.push_back(c);
    }
    announcement_ = line;
    const std::string prefix = "listening on ";
    if (line.rfind(prefix, 0) != 0) return false;
    port_ = static_cast<std::uint16_t>(std::stoi(line.substr(line.rfind(':') + 1)));
    return port_ != 0;
  }

  pid_t pid_ = 0;
  int out_ = -1;
  std::uint16_t port_ = 0;
  std::string announcement_;
};

}  // namespace testsupport
