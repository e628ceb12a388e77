// The host side of the virtual cable on arbitrary bytes from the peer: the
// tunnel's frame reader gives the same frames however the bytes arrive, and
// stops at a length over the limit. Input: one byte choosing the piece size,
// then the stream.
#include <cstdint>
#include <span>

#include "fuzz/CableStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> stream(data + 1, size - 1);
  const fuzzsupport::CableResult whole = fuzzsupport::DecodeWholeStream(stream);
  const fuzzsupport::CableResult pieces = fuzzsupport::ReadInPieces(stream, fuzzsupport::PieceSize(data[0], stream.size()));
  fuzzsupport::Require(pieces.frames == whole.frames);
  fuzzsupport::Require(pieces.protocolError == whole.protocolError);
  return 0;
}
