// What one received frame changes: the instrument's run state in the setup
// record, the display mirror, the phase text and LED, the position markers'
// visibility, the samples, then (through the display hooks) the markers,
// cursors, measurements, reference capture and the traces. Runs on the
// acquisition thread after the link was released.
#pragma once

#include <cstdint>
#include <span>

#include "acquisition/FrameHeader.h"

// `frame` holds the frame's L bytes, header first.
void ProcessFrame(const FrameHeader& header, std::span<const std::uint8_t> frame);
