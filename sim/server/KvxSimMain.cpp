// kvx-sim: one simulated instrument served over the virtual USB cable.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ControlChannel.h"
#include "sim/ControlCommand.h"
#include "sim/EventLog.h"
#include "sim/Server.h"
#include "sim/SimulatedInstrument.h"
#include "sim/ServerOptions.h"

namespace {

// A control line noted in the log as it is taken ("control LINE") and once
// carried out ("done LINE"): a bench measures from the first, on the same
// clock as the replies, and reads a dump after the second.
void RunControlLine(const std::string& line, kvxsim::SimHandle& instrument, kvxsim::EventLog& log) {
  std::string error;
  const auto command = kvxsim::ParseControlLine(line, error);
  if (command) {
    log.Note("control " + line);
    if (kvxsim::ApplyControl(*command, instrument, error)) {
      log.Note("done " + line);
      return;
    }
  }
  if (!error.empty()) {
    log.Note("control error " + error);
    std::fprintf(stderr, "kvx-sim: %s\n", error.c_str());
  }
}

}  // namespace

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
  EventLog log;
  if (!config.frameLogPath.empty()) {
    if (!log.Open(config.frameLogPath)) {
      std::fprintf(stderr, "kvx-sim: cannot write %s\n", config.frameLogPath.c_str());
      return 1;
    }
    instrument->Engine().SetFaultObserver([&log](std::string_view kind) { log.Note("fault " + std::string(kind)); });
  }
  Server server(instrument, config.host, config.port);
  server.SetEventLog(&log);
  ControlChannel control(config.controlPath, [&](const std::string& line) { RunControlLine(line, *instrument, log); });
  if (!config.controlPath.empty() && !control.Start(&error)) {
    std::fprintf(stderr, "kvx-sim: %s\n", error.c_str());
    return 1;
  }
  if (!server.Start(&error)) {
    std::fprintf(stderr, "kvx-sim: cannot listen on %s:%u: %s\n", config.host.c_str(), config.port, error.c_str());
    return 1;
  }
  std::printf("listening on %s:%u\n", server.Address().c_str(), static_cast<unsigned>(server.Port()));
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  control.Stop();
  server.Stop();
  instrument->Engine().SetFaultObserver(nullptr);
  if (!config.recordPath.empty()) {
    // The record is the last dump of what the host sent.
    std::string error;
    if (!ApplyControl({ControlAction::DumpReceived, 1, config.recordPath}, *instrument, error)) {
      std::fprintf(stderr, "kvx-sim: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
