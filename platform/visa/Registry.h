// The instruments a search can see: those registered by the program (in the
// order given) followed by the USB devices present when USB search is on.
#pragma once

#include <memory>
#include <vector>

#include "platform/visa/Backend.h"

namespace visa {

std::vector<std::shared_ptr<Instrument>> ListInstruments();

}  // namespace visa
