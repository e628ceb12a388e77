#include "app/InstrumentChoices.h"

#include <memory>
#include <string>

#include "platform/visa/Backend.h"
#include "sim/Instrument.h"

void RegisterInstruments(const CommandLine& line) {
  int simulated = 0;
  for (const InstrumentChoice& choice : line.instruments) {
    if (choice.kind == InstrumentChoice::Kind::Tunnel) {
      visa::AddTunnelInstrument(choice.host, choice.port);
      continue;
    }
    kvxsim::InstrumentOptions options;
    options.model = choice.model;
    options.serial = "SIM" + std::to_string(choice.model) + "-" + std::to_string(++simulated);
    visa::AddInstrument(std::make_shared<kvxsim::SimHandle>(options));
  }
  visa::EnableUsbSearch(true);
}
