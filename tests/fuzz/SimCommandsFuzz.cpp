// The simulated instrument on arbitrary bytes as one host write: it never
// crashes, every reply is a whole message (a line, or a definite-length
// block whose length is what it carries), and a new session still gets its
// identification whatever the previous one sent.
#include <charconv>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/os/Clock.h"
#include "sim/CommandParser.h"
#include "sim/Instrument.h"

namespace {

using fuzzsupport::Require;
using Bytes = std::vector<std::uint8_t>;

// Each running frame query computes both channels' 50,000-point record (a
// few milliseconds here, fifty times a whole input without one). Two per
// input reach every state a frame reports, the second after what the first
// left (a single acquisition stopped, a record held); more only slow the run.
constexpr int kMostFrameQueries = 2;

constexpr std::string_view kIdentify = "*IDN?\r";
constexpr std::string_view kIdentity = "KVX162, v1.23/A1/ZC, KVX0001\n";

void CheckReply(const Bytes& reply) {
  Require(!reply.empty());
  const std::string_view text(reinterpret_cast<const char*>(reply.data()), reply.size());
  if (text[0] != '#') {
    Require(text.back() == '\n');
    return;
  }
  Require(text.size() >= 2 && text[1] >= '1' && text[1] <= '9');
  const std::size_t digits = static_cast<std::size_t>(text[1] - '0');
  std::size_t length = 0;
  Require(text.size() >= 2 + digits);
  const auto [end, error] = std::from_chars(text.data() + 2, text.data() + 2 + digits, length);
  Require(error == std::errc() && end == text.data() + 2 + digits);
  Require(text.size() == 2 + digits + length + 2);
}

// Every reply due now.
std::vector<Bytes> TakeReplies(visa::DeviceLink& link) {
  std::vector<Bytes> replies;
  for (;;) {
    Bytes reply;
    bool end = false;
    const visa::LinkResult result = link.Receive(reply, end, std::chrono::milliseconds(0));
    if (result != visa::LinkResult::Ok) return replies;
    Require(end);
    replies.push_back(std::move(reply));
  }
}

// The frame queries among the commands the instrument will take from the
// input, split as it splits them.
int FrameQueries(const std::uint8_t* data, std::size_t size) {
  kvxsim::CommandSplitter splitter;
  std::vector<kvxsim::ProgramMessage> messages;
  splitter.Feed(data, size, messages);
  int count = 0;
  int suffix = 0;
  for (const kvxsim::ProgramMessage& message : messages)
    if (kvxsim::MatchHeader("ZC:HTTP?", kvxsim::SplitCommand(message).header, suffix)) ++count;
  return count;
}

void Send(visa::DeviceLink& link, const std::uint8_t* data, std::size_t size) {
  Require(link.Send(data, size, visa::kNoTimeLimit) == visa::LinkResult::Ok);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Time stands still unless something sleeps, so the same input meets the
  // same acquisition state.
  static ScopedManualClock clock;
  if (FrameQueries(data, size) > kMostFrameQueries) return -1;  // kept out of the corpus
  kvxsim::SimHandle instrument{kvxsim::InstrumentOptions{}};
  {
    std::unique_ptr<visa::DeviceLink> link;
    Require(instrument.Open(link) == VI_SUCCESS);
    Send(*link, data, size);
    for (const Bytes& reply : TakeReplies(*link)) CheckReply(reply);
  }
  std::unique_ptr<visa::DeviceLink> next;
  Require(instrument.Open(next) == VI_SUCCESS);
  Send(*next, reinterpret_cast<const std::uint8_t*>(kIdentify.data()), kIdentify.size());
  const std::vector<Bytes> replies = TakeReplies(*next);
  Require(replies.size() == 1 && Bytes(kIdentity.begin(), kIdentity.end()) == replies[0]);
  return 0;
}
