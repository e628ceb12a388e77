// The kvx-sim command line: where to listen, which instrument, its signals
// and its faults.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Instrument.h"

namespace kvxsim {

struct ServerConfig {
  std::string host = "127.0.0.1";
  std::uint16_t port = 0;
  InstrumentOptions instrument;
  std::string recordPath;  // every byte the host sent is written here when the server ends
  std::string controlPath;   // named pipe for faults and dumps while running
  std::string frameLogPath;  // timing log of replies, clients and faults
};

enum class CommandLineAction { Run, Help, Version, Error };

// `arguments` without the program name. On Error, `error` says why.
CommandLineAction ParseServerCommandLine(const std::vector<std::string>& arguments, ServerConfig& config,
                                         std::string& error);

// "HOST:PORT", "[V6HOST]:PORT", ":PORT" or "PORT" (loopback).
bool ParseListenAddress(std::string_view text, std::string& host, std::uint16_t& port);

std::string ServerUsage();

}  // namespace kvxsim
