#include "app/CommandLine.h"

#include <charconv>
#include <string_view>

namespace {

bool ParseNumber(std::string_view text, long& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseSimulate(std::string_view value, InstrumentChoice& choice) {
  long model = 162;
  if (!value.empty() && !ParseNumber(value, model)) return false;
  if (model != 162 && model != 112 && model != 71) return false;
  choice.model = static_cast<int>(model);
  return true;
}

// HOST:PORT, with an IPv6 address in brackets as kvx-sim prints it
// ("[::1]:4000"); the brackets are not part of the host. A bare address with
// colons is refused: "::1:80" could as well be an address without a port.
bool ParseHostPort(std::string_view value, InstrumentChoice& choice) {
  std::string_view host;
  std::string_view port;
  if (value.starts_with('[')) {
    const std::size_t close = value.find(']');
    if (close == std::string_view::npos || close == 1 || value.substr(close + 1, 1) != ":") return false;
    host = value.substr(1, close - 1);
    port = value.substr(close + 2);
  } else {
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos || colon == 0 || value.find(':', colon + 1) != std::string_view::npos)
      return false;
    host = value.substr(0, colon);
    port = value.substr(colon + 1);
  }
  if (host.find_first_of("[] ") != std::string_view::npos) return false;
  long number = 0;
  if (!ParseNumber(port, number) || number <= 0 || number > 65535) return false;
  choice.kind = InstrumentChoice::Kind::Tunnel;
  choice.host = std::string(host);
  choice.port = static_cast<std::uint16_t>(number);
  return true;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const argv[]) {
  CommandLine line;
  for (int i = 1; i < argc && line.error.empty(); ++i) {
    const std::string_view arg = argv[i];
    auto nextValue = [&](std::string_view& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string_view value;
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (arg == "--simulate" || arg.starts_with("--simulate=")) {
      InstrumentChoice choice;
      value = arg == "--simulate" ? std::string_view() : arg.substr(11);
      if (!ParseSimulate(value, choice)) line.error = "--simulate takes 162, 112 or 71";
      line.instruments.push_back(choice);
    } else if (arg == "--connect" || arg.starts_with("--connect=")) {
      InstrumentChoice choice;
      const bool have = arg == "--connect" ? nextValue(value) : (value = arg.substr(10), true);
      if (!have || !ParseHostPort(value, choice)) line.error = "--connect takes HOST:PORT";
      line.instruments.push_back(choice);
    } else if (arg == "--app-dir" || arg.starts_with("--app-dir=")) {
      const bool have = arg == "--app-dir" ? nextValue(value) : (value = arg.substr(10), true);
      if (!have || value.empty()) line.error = "--app-dir takes a directory";
      line.appDir = std::string(value);
    } else {
      line.error = "unknown option: " + std::string(arg);
    }
  }
  return line;
}

std::string CommandLineUsage(const std::string& programName) {
  return "Usage: " + programName +
         " [options]\n"
         "  --simulate[=MODEL]   add a simulated instrument (MODEL 162 default, 112 or 71)\n"
         "  --connect HOST:PORT  add an instrument served by kvx-sim (or another cable peer) at HOST:PORT\n"
         "                       (an IPv6 address in brackets: [::1]:PORT)\n"
         "  --app-dir DIR        use DIR as the application directory\n"
         "  --help               show this help\n"
         "  --version            show the version\n"
         "Without --simulate or --connect the program looks for a KVX instrument on USB.\n";
}
