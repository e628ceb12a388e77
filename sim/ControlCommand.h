// Lines a test bench writes to a running kvx-sim (its --control channel):
// faults injected while a client is connected, and dumps of what the
// instrument holds.
//   drop|stall|truncate|corrupt|oversize [N]   the next N replies (default 1; -1 always, 0 clears)
//   disconnect                                 pull the cable: the client is dropped, the server accepts again
//   dump-setup PATH                            the 572-byte setup record, as the instrument holds it
//   dump-received PATH                         every byte the host sent since the last dump
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvxsim {

class SimHandle;

enum class ControlAction { Drop, Stall, Truncate, Corrupt, Oversize, Disconnect, DumpSetup, DumpReceived };

struct ControlCommand {
  ControlAction action = ControlAction::Drop;
  int count = 1;     // the fault kinds
  std::string path;  // the dumps
};

// One line, without or with its line end. Empty lines and "#" comments give
// nullopt with `error` left empty; anything else not understood gives
// nullopt and the reason in `error`.
std::optional<ControlCommand> ParseControlLine(std::string_view line, std::string& error);

// Carries the command out on the instrument. False (with the reason) when a
// dump file cannot be written.
bool ApplyControl(const ControlCommand& command, SimHandle& instrument, std::string& error);

}  // namespace kvxsim
