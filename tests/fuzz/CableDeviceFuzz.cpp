// The device side of the virtual cable on arbitrary bytes from the host: the
// server's frame reader takes the frames, and the instrument splits them into
// commands. Where the frames and the pieces fall changes nothing: a command
// may span frames, and the data after a block header such as
// "SYST:SET #3572" is taken by count, carriage returns and all. Input: one
// byte choosing the piece size, then the stream.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/CableStream.h"
#include "sim/CommandParser.h"

namespace {

using fuzzsupport::Require;
using kvxsim::CommandSplitter;
using kvxsim::ProgramMessage;

bool SameMessages(const std::vector<ProgramMessage>& a, const std::vector<ProgramMessage>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].text != b[i].text || a[i].block != b[i].block || a[i].hasBlock != b[i].hasBlock ||
        a[i].overlong != b[i].overlong)
      return false;
  }
  return true;
}

// Each command keeps to the splitter's limits and holds no terminator.
void CheckBlocks(const std::vector<ProgramMessage>& messages) {
  for (const ProgramMessage& message : messages) {
    Require(message.block.size() <= CommandSplitter::kMaxBlock);
    Require(message.hasBlock || message.block.empty());
    Require(message.text.find('\r') == std::string::npos);
    Require(message.overlong || message.text.size() <= CommandSplitter::kMaxPending);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> stream(data + 1, size - 1);
  const fuzzsupport::CableResult received = fuzzsupport::ReadInPieces(stream, fuzzsupport::PieceSize(data[0], stream.size()));
  Require(received.frames == fuzzsupport::DecodeWholeStream(stream).frames);

  CommandSplitter byFrame;
  std::vector<ProgramMessage> framed;
  std::vector<std::uint8_t> joined;
  for (const auto& frame : received.frames) {
    byFrame.Feed(frame.data(), frame.size(), framed);
    joined.insert(joined.end(), frame.begin(), frame.end());
  }
  CommandSplitter atOnce;
  std::vector<ProgramMessage> whole;
  atOnce.Feed(joined.data(), joined.size(), whole);
  Require(SameMessages(framed, whole));
  CheckBlocks(framed);
  return 0;
}
