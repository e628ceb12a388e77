#include "sim/ServerOptions.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <optional>

#include "sim/CommandParser.h"

namespace kvxsim {
namespace {

using Setter = std::function<bool(ServerConfig&, const std::string&)>;

struct Option {
  std::string name;
  std::string valueName;  // empty: a flag
  std::string help;
  Setter set;
};

bool ToCount(const std::string& text, int& out) {
  long value = 0;
  if (!ParseInteger(text, value) || value < -1 || value > 1'000'000'000) return false;
  out = static_cast<int>(value);
  return true;
}

bool ToNonNegative(const std::string& text, double& out) {
  double value = 0.0;
  if (!ParseReal(text, value) || value < 0.0) return false;
  out = value;
  return true;
}

std::optional<Waveform> ToWaveform(const std::string& text) {
  constexpr std::pair<std::string_view, Waveform> kWaves[] = {{"sine", Waveform::Sine},
                                                               {"square", Waveform::Square},
                                                               {"triangle", Waveform::Triangle},
                                                               {"dc", Waveform::Dc},
                                                               {"none", Waveform::None}};
  for (const auto& [name, wave] : kWaves) {
    if (text == name) return wave;
  }
  return std::nullopt;
}

Setter CountOf(int Faults::*field) {
  return [field](ServerConfig& c, const std::string& v) { return ToCount(v, c.instrument.faults.*field); };
}

void AddChannelOptions(std::vector<Option>& options, std::size_t channel) {
  const std::string ch = "--ch" + std::to_string(channel + 1);
  auto input = [channel](ServerConfig& c) -> SignalSpec& { return c.instrument.signals[channel]; };
  options.push_back({ch, "WAVE", "waveform: sine, square, triangle, dc or none",
                     [input](ServerConfig& c, const std::string& v) {
                       const auto wave = ToWaveform(v);
                       if (wave) input(c).waveform = *wave;
                       return wave.has_value();
                     }});
  options.push_back({ch + "-freq", "HZ", "frequency in hertz",
                     [input](ServerConfig& c, const std::string& v) { return ToNonNegative(v, input(c).frequencyHz); }});
  options.push_back({ch + "-vpp", "V", "amplitude in volts peak-to-peak",
                     [input](ServerConfig& c, const std::string& v) { return ToNonNegative(v, input(c).amplitudeVpp); }});
  options.push_back({ch + "-offset", "V", "DC offset in volts",
                     [input](ServerConfig& c, const std::string& v) { return ParseReal(v, input(c).offsetVolts); }});
  options.push_back({ch + "-noise", "VRMS", "noise in volts rms",
                     [input](ServerConfig& c, const std::string& v) { return ToNonNegative(v, input(c).noiseVrms); }});
}

const std::vector<Option>& Options() {
  static const std::vector<Option> options = [] {
    std::vector<Option> o;
    o.push_back({"--listen", "HOST:PORT", "address to serve (loopback if HOST is left out; port 0 picks a free one)",
                 [](ServerConfig& c, const std::string& v) { return ParseListenAddress(v, c.host, c.port); }});
    o.push_back({"--model", "N", "model number: 162 (default), 112 or 71", [](ServerConfig& c, const std::string& v) {
                   long model = 0;
                   if (!ParseInteger(v, model) || (model != 162 && model != 112 && model != 71)) return false;
                   c.instrument.model = static_cast<int>(model);
                   return true;
                 }});
    o.push_back({"--serial", "S", "serial number (default KVX0001)", [](ServerConfig& c, const std::string& v) {
                   c.instrument.serial = v;
                   return !v.empty();
                 }});
    o.push_back({"--firmware", "X.YY", "firmware version (default 1.23)", [](ServerConfig& c, const std::string& v) {
                   double version = 0.0;
                   c.instrument.firmware = v;
                   return ParseReal(v, version);
                 }});
    o.push_back({"--seed", "N", "seed of the noise generator", [](ServerConfig& c, const std::string& v) {
                   const auto result = std::from_chars(v.data(), v.data() + v.size(), c.instrument.seed);
                   return result.ec == std::errc() && result.ptr == v.data() + v.size();
                 }});
    o.push_back({"--record", "FILE", "write every byte the host sent to FILE when the server ends",
                 [](ServerConfig& c, const std::string& v) {
                   c.recordPath = v;
                   return !v.empty();
                 }});
    o.push_back({"--control", "FIFO", "read fault and dump commands from this named pipe while running",
                 [](ServerConfig& c, const std::string& v) {
                   c.controlPath = v;
                   return !v.empty();
                 }});
    o.push_back({"--frame-log", "FILE", "log each reply, client and fault with its monotonic time",
                 [](ServerConfig& c, const std::string& v) {
                   c.frameLogPath = v;
                   return !v.empty();
                 }});
    AddChannelOptions(o, 0);
    AddChannelOptions(o, 1);
    o.push_back({"--drop-replies", "N", "the next N queries get no reply (-1: all)", CountOf(&Faults::dropReplies)});
    o.push_back({"--corrupt-prefix", "N", "the next N block replies start with '$'", CountOf(&Faults::corruptPrefix)});
    o.push_back({"--stall", "N", "the next N replies are held back --stall-ms", CountOf(&Faults::stallReplies)});
    o.push_back({"--stall-ms", "MS", "how long a stalled reply is held (default 4000)", [](ServerConfig& c, const std::string& v) {
                   return ToCount(v, c.instrument.faults.stallMs) && c.instrument.faults.stallMs >= 0;
                 }});
    o.push_back({"--truncate", "N", "the next N block replies lose their second half", CountOf(&Faults::truncateBlocks)});
    o.push_back({"--oversize", "N", "the next N block replies announce 999999999 bytes", CountOf(&Faults::oversizeBlocks)});
    o.push_back({"--selftest-fail", "HEXBITS", "self-test bits reported as failed, e.g. 8", [](ServerConfig& c, const std::string& v) {
                   unsigned bits = 0;
                   const auto result = std::from_chars(v.data(), v.data() + v.size(), bits, 16);
                   if (result.ec != std::errc() || result.ptr != v.data() + v.size() || bits > 0xFFFF) return false;
                   c.instrument.faults.selfTestFailBits = static_cast<std::uint16_t>(bits);
                   return true;
                 }});
    o.push_back({"--refuse-autoset", "", "autoset finds no usable signal", [](ServerConfig& c, const std::string&) {
                   c.instrument.faults.refuseAutoset = true;
                   return true;
                 }});
    o.push_back({"--disconnect-after", "N", "the link drops after N more replies", CountOf(&Faults::disconnectAfterReplies)});
    return o;
  }();
  return options;
}

const Option* FindOption(std::string_view name) {
  for (const Option& option : Options()) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

}  // namespace

bool ParseListenAddress(std::string_view text, std::string& host, std::uint16_t& port) {
  std::string_view hostPart;
  std::string_view portPart = text;
  if (text.starts_with('[')) {
    const std::size_t close = text.find("]:");
    if (close == std::string_view::npos) return false;
    hostPart = text.substr(1, close - 1);
    portPart = text.substr(close + 2);
  } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    hostPart = text.substr(0, colon);
    portPart = text.substr(colon + 1);
  }
  unsigned value = 0;
  const auto result = std::from_chars(portPart.data(), portPart.data() + portPart.size(), value);
  if (portPart.empty() || result.ec != std::errc() || result.ptr != portPart.data() + portPart.size() || value > 65535) {
    return false;
  }
  host = hostPart.empty() ? "127.0.0.1" : std::string(hostPart);
  port = static_cast<std::uint16_t>(value);
  return true;
}

CommandLineAction ParseServerCommandLine(const std::vector<std::string>& arguments, ServerConfig& config,
                                         std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::optional<std::string> value;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (name == "--help" || name == "-h") return CommandLineAction::Help;
    if (name == "--version") return CommandLineAction::Version;
    const Option* option = FindOption(name);
    if (option == nullptr) {
      error = "unknown option " + name;
      return CommandLineAction::Error;
    }
    if (!option->valueName.empty() && !value) {
      if (i + 1 == arguments.size()) {
        error = name + " needs " + option->valueName;
        return CommandLineAction::Error;
      }
      value = arguments[++i];
    }
    if (!option->set(config, value.value_or(""))) {
      error = "bad value for " + name + ": " + value.value_or("");
      return CommandLineAction::Error;
    }
  }
  return CommandLineAction::Run;
}

std::string ServerUsage() {
  std::string text =
      "Usage: kvx-sim [--listen HOST:PORT] [options]\n"
      "Serves one simulated KVX oscilloscope over the virtual USB cable.\n"
      "Prints \"listening on HOST:PORT\" when ready; SIGINT or SIGTERM ends it.\n\n";
  for (const Option& option : Options()) {
    std::string left = "  " + option.name + (option.valueName.empty() ? "" : " " + option.valueName);
    if (left.size() < 26) left.resize(26, ' ');
    text += left + " " + option.help + "\n";
  }
  text +=
      "  --help                   this text\n"
      "  --version                the program version\n\n"
      "Defaults: CH1 sine 1 kHz 2 Vpp, CH2 square 1 kHz 1 Vpp, no noise, no faults.\n"
      "Fault counts apply to the next N occurrences; -1 means always.\n"
      "Control lines: drop|stall|truncate|corrupt|oversize [N], disconnect,\n"
      "dump-setup FILE, dump-received FILE (what the host sent since the last dump).\n";
  return text;
}

}  // namespace kvxsim
