// Instruments reached over the virtual USB cable (a TCP connection to a
// kvx-sim server or any peer speaking the same framing).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/visa/Backend.h"

namespace visa {

// How long viOpen waits for the connection and then for the OPEN/BUSY frame.
inline constexpr std::chrono::milliseconds kTunnelOpenWait{2000};

// Listed as USB0::0x2177::0x1004::TUNNEL<port>::RAW; connects only on Open.
std::shared_ptr<Instrument> MakeTunnelInstrument(const std::string& host, std::uint16_t port);

}  // namespace visa
