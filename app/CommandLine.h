// The program's command line: which instruments to add to the search besides
// USB devices, and where the application directory is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct InstrumentChoice {
  enum class Kind { Simulated, Tunnel } kind = Kind::Simulated;
  int model = 162;             // simulated
  std::string host;            // tunnel; an IPv6 address without its brackets
  std::uint16_t port = 0;      // tunnel
};

struct CommandLine {
  std::vector<InstrumentChoice> instruments;  // in command-line order
  std::string appDir;
  bool help = false;
  bool version = false;
  std::string error;  // empty when the line was understood
};

CommandLine ParseCommandLine(int argc, const char* const argv[]);
std::string CommandLineUsage(const std::string& programName);
