// Reading the setup record from the instrument, with arbitrary bytes as the
// instrument's reply: the program's copy either stays as it was or takes a
// whole record and keeps its own display fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "link/SetupTransfer.h"
#include "platform/visa/Backend.h"
#include "support/ScriptedInstrument.h"

namespace {

// A block header, 572 bytes and two trailing bytes.
constexpr std::size_t kShortestAcceptedReply = 5 + kSetupSize + 2;

struct ScriptedLink {
  ScriptedLink() {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    instrument = std::make_shared<testsupport::ScriptedInstrument>("FUZZ");
    visa::AddInstrument(instrument);
    if (viOpenDefaultRM(&resourceManager) != VI_SUCCESS) std::abort();
  }
  std::shared_ptr<testsupport::ScriptedInstrument> instrument;
  ViSession resourceManager = 0;
};

ScriptedLink& Link() {
  static ScriptedLink link;
  return link;
}

InstrumentSetup ProgramCopy() {
  InstrumentSetup setup;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&setup);
  for (std::size_t i = 0; i < sizeof setup; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
  return setup;
}

bool KeptOwnFields(const InstrumentSetup& after, const InstrumentSetup& before) {
  InstrumentSetup expected = after;
  KeepProgramOwnedFields(before, expected);
  return std::memcmp(&expected, &after, sizeof after) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedLink& link = Link();
  ViSession session = 0;
  if (viOpen(link.resourceManager, link.instrument->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &session) !=
      VI_SUCCESS)
    std::abort();
  // The whole reply is there at once, so no read has to wait.
  viSetAttribute(session, VI_ATTR_TMO_VALUE, 0);
  link.instrument->QueueReply(std::string(reinterpret_cast<const char*>(data), size));

  const InstrumentSetup before = ProgramCopy();
  InstrumentSetup setup = before;
  ReadSetup(session, setup);
  viClose(session);
  link.instrument->ClearWritten();

  if (std::memcmp(&setup, &before, sizeof setup) != 0) {
    if (size < kShortestAcceptedReply || setup.viewState != 0 || !KeptOwnFields(setup, before)) std::abort();
  }
  return 0;
}
