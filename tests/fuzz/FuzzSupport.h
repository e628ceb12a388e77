// What the fuzz targets share: a check that stops the run on a broken
// promise, and one session to a scripted instrument whose replies are the
// fuzz input.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/visa/Backend.h"
#include "platform/visa/Visa.h"
#include "support/ScriptedInstrument.h"

namespace fuzzsupport {

// A broken promise is a finding: abort so that libFuzzer keeps the input.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// One session for the whole run. Every reply is there at once, so no read
// has to wait; each input starts with the read buffer emptied.
struct ScriptedSession {
  std::shared_ptr<testsupport::ScriptedInstrument> instrument;
  ViSession session = 0;

  void StartInput() {
    viFlush(session, VI_READ_BUF);
    instrument->ClearWritten();
  }
};

inline ScriptedSession OpenScriptedSession() {
  visa::ClearInstruments();
  visa::EnableUsbSearch(false);
  ScriptedSession link{std::make_shared<testsupport::ScriptedInstrument>("FUZZ"), 0};
  visa::AddInstrument(link.instrument);
  ViSession resourceManager = 0;
  Require(viOpenDefaultRM(&resourceManager) == VI_SUCCESS);
  Require(viOpen(resourceManager, link.instrument->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &link.session) ==
          VI_SUCCESS);
  viSetAttribute(link.session, VI_ATTR_TMO_VALUE, 0);
  return link;
}

}  // namespace fuzzsupport
