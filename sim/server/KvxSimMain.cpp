// kvx-sim: one simulated instrument served over the virtual USB cable.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sim/Server.h"
#include "sim/ServerOptions.h"

int main(int argc, char** argv) {
  using namespace kvxsim;
  ServerConfig config;
  std::string error;
  switch (ParseServerCommandLine(std::vector<std::string>(argv + 1, argv + argc), config, error)) {
    case CommandLineAction::Help:
      std::fputs(ServerUsage().c_str(), stdout);
      return 0;
    case CommandLineAction::Version:
      std::puts("kvx-sim 1.00");
      return 0;
    case CommandLineAction::Error:
      std::fprintf(stderr, "kvx-sim: %s\nTry kvx-sim --help.\n", error.c_str());
      return 2;
    case CommandLineAction::Run:
      break;
  }

  // Termination requests are taken by sigwait below, never by a handler in
  // the middle of the serving thread; so block them before any thread starts.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  const auto instrument = std::make_shared<SimHandle>(config.instrument);
  Server server(instrument, config.host, config.port);
  if (!server.Start(&error)) {
    std::fprintf(stderr, "kvx-sim: cannot listen on %s:%u: %s\n", config.host.c_str(), config.port, error.c_str());
    return 1;
  }
  std::printf("listening on %s:%u\n", server.Address().c_str(), static_cast<unsigned>(server.Port()));
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  server.Stop();
  if (!config.recordPath.empty()) {
    const std::vector<std::uint8_t> bytes = instrument->TakeReceived();
    FILE* record = std::fopen(config.recordPath.c_str(), "wb");
    if (record == nullptr) return 1;
    std::fwrite(bytes.data(), 1, bytes.size(), record);
    std::fclose(record);
  }
  return 0;
}
