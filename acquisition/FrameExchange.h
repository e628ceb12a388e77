// One acquisition request and its reply, a definite-length block read in
// exactly three reads: the two prefix bytes ("#" n), the n length digits,
// then the L frame bytes with the two trailing bytes. The caller owns the
// link and has set the exchange's timeout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "acquisition/Acquisition.h"
#include "acquisition/FrameHeader.h"
#include "platform/visa/Visa.h"

// Fixed receive buffers, allocated once per thread run.
struct ExchangeBuffers {
  std::array<std::uint8_t, kPrefixBufferSize> prefix{};
  std::array<std::uint8_t, kFrameBufferSize> frame{};
};

struct ReceivedFrame {
  FrameHeader header;
  std::size_t length = 0;  // L: the frame bytes, without the two trailing ones

  // The frame's bytes inside `buffers`.
  std::span<const std::uint8_t> Bytes(const ExchangeBuffers& buffers) const {
    return std::span<const std::uint8_t>(buffers.frame).first(length);
  }
};

// Writes `request`, reads the reply with END suppressed and parses its
// header. nullopt when the exchange failed: a short or wrong prefix, bad
// length digits, a frame that would not fit the frame buffer (it is left
// unread), fewer than L + 2 bytes, or a header that does not parse.
std::optional<ReceivedFrame> ExchangeFrame(ViSession session, std::string_view request, ExchangeBuffers& buffers);
