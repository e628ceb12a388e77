// kvx-sim's control lines (faults and dumps while a client is connected),
// the pipe they come through, and the shapes its timing log gives replies.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "SimTestSupport.h"
#include "platform/os/Clock.h"
#include "sim/ControlChannel.h"
#include "sim/ControlCommand.h"
#include "sim/EventLog.h"
#include "sim/SimulatedInstrument.h"
#include "support/ScratchDirectory.h"

namespace kvxsim {
namespace {

namespace fs = std::filesystem;
using test::Session;
using TemporaryDir = testsupport::ScratchDirectory;

std::optional<ControlCommand> Parse(std::string_view line) {
  std::string error;
  auto command = ParseControlLine(line, error);
  EXPECT_EQ(command.has_value(), error.empty()) << line << ": " << error;
  return command;
}

bool Refused(std::string_view line) {
  std::string error;
  return !ParseControlLine(line, error).has_value() && !error.empty();
}

void Apply(std::string_view line, SimHandle& instrument) {
  const auto command = Parse(line);
  ASSERT_TRUE(command) << line;
  std::string error;
  EXPECT_TRUE(ApplyControl(*command, instrument, error)) << error;
}

test::Bytes FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return test::Bytes(std::istreambuf_iterator<char>(file), {});
}

TEST(ControlLines, FaultsWithTheirCounts) {
  const auto plain = Parse("drop");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->action, ControlAction::Drop);
  EXPECT_EQ(plain->count, 1);
  const auto counted = Parse("  stall 3\r\n");
  ASSERT_TRUE(counted);
  EXPECT_EQ(counted->action, ControlAction::Stall);
  EXPECT_EQ(counted->count, 3);
  EXPECT_EQ(Parse("truncate -1")->count, -1);
  EXPECT_EQ(Parse("corrupt 0")->count, 0);
  EXPECT_EQ(Parse("oversize\t2")->action, ControlAction::Oversize);
  EXPECT_EQ(Parse("disconnect")->action, ControlAction::Disconnect);
  for (const char* bad : {"drop x", "drop -2", "drop 1 2", "drop 1000001", "stall 1.5", "disconnect now", "Drop",
                          "dropx", "pull"}) {
    EXPECT_TRUE(Refused(bad)) << bad;
  }
}

TEST(ControlLines, DumpsNeedAFileAndKeepItsSpaces) {
  const auto setup = Parse("dump-setup /tmp/a b.bin\n");
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->action, ControlAction::DumpSetup);
  EXPECT_EQ(setup->path, "/tmp/a b.bin");
  EXPECT_EQ(Parse("dump-received r.bin")->action, ControlAction::DumpReceived);
  EXPECT_TRUE(Refused("dump-setup"));
  EXPECT_TRUE(Refused("dump-received   \r"));
}

TEST(ControlLines, BlankLinesAndCommentsAreIgnoredQuietly) {
  for (const char* quiet : {"", "\r", "   ", "# drop 5"}) {
    std::string error = "stale";
    EXPECT_FALSE(ParseControlLine(quiet, error).has_value());
    EXPECT_TRUE(error.empty()) << quiet;
  }
}

TEST(ControlApply, FaultCountsAddUpAlwaysStaysAndZeroClears) {
  ScopedManualClock clock;
  Session s;
  Apply("drop", s.Handle());
  Apply("drop 2", s.Handle());
  EXPECT_EQ(s.Handle().Engine().CurrentFaults().dropReplies, 3);
  Apply("drop 0", s.Handle());
  EXPECT_EQ(s.Handle().Engine().CurrentFaults().dropReplies, 0);
  Apply("corrupt -1", s.Handle());
  Apply("corrupt 4", s.Handle());
  EXPECT_EQ(s.Handle().Engine().CurrentFaults().corruptPrefix, -1);
  Apply("stall", s.Handle());
  Apply("truncate", s.Handle());
  Apply("oversize", s.Handle());
  const Faults faults = s.Handle().Engine().CurrentFaults();
  EXPECT_EQ(faults.stallReplies, 1);
  EXPECT_EQ(faults.truncateBlocks, 1);
  EXPECT_EQ(faults.oversizeBlocks, 1);
}

TEST(ControlApply, FaultsAreReportedAsTheyStrike) {
  ScopedManualClock clock;
  Session s;
  std::vector<std::string> struck;
  s.Handle().Engine().SetFaultObserver([&struck](std::string_view kind) { struck.emplace_back(kind); });
  Apply("drop", s.Handle());
  Apply("truncate", s.Handle());
  EXPECT_TRUE(struck.empty());  // nothing strikes before a reply is due
  s.Send("*IDN?\r");
  EXPECT_EQ(struck, std::vector<std::string>{"dropped"});
  EXPECT_EQ(s.Query("*IDN?\r").substr(0, 3), "KVX");  // a text reply is no block to truncate
  EXPECT_EQ(s.QueryBytes(":SYST:SET?\r").size(), 289u);
  EXPECT_EQ(struck, (std::vector<std::string>{"dropped", "truncated"}));
  Apply("disconnect", s.Handle());
  EXPECT_EQ(struck.back(), "pulled cable");
  EXPECT_EQ(s.Send("*IDN?\r"), visa::LinkResult::Lost);
  s.Close();
  ASSERT_TRUE(s.Reopen());  // the cable is back for the next client
  EXPECT_EQ(s.Query("*IDN?\r").substr(0, 3), "KVX");
}

TEST(ControlApply, DumpsWriteTheRecordAndWhatTheHostSent) {
  ScopedManualClock clock;
  TemporaryDir dir;
  Session s;
  s.Send("CH1:COUP AC\r");
  Apply("dump-received " + (dir.Path() / "first.bin").string(), s.Handle());
  s.Send("ZC:HTTP?\r");
  Apply("dump-received " + (dir.Path() / "second.bin").string(), s.Handle());
  EXPECT_EQ(test::ToText(FileBytes(dir.Path() / "first.bin")), "CH1:COUP AC\r");
  EXPECT_EQ(test::ToText(FileBytes(dir.Path() / "second.bin")), "ZC:HTTP?\r");

  Apply("dump-setup " + (dir.Path() / "setup.bin").string(), s.Handle());
  const auto record = s.Record();
  EXPECT_EQ(FileBytes(dir.Path() / "setup.bin"), test::Bytes(record.begin(), record.end()));

  std::string error;
  EXPECT_FALSE(ApplyControl(*Parse("dump-setup " + (dir.Path() / "no" / "such.bin").string()), s.Handle(), error));
  EXPECT_NE(error.find("such.bin"), std::string::npos);
}

TEST(ControlPipe, LinesAreSplitWhereverTheReadsEnd) {
  std::vector<std::string> lines;
  LineSplitter splitter(8);
  const auto keep = [&lines](const std::string& line) { lines.push_back(line); };
  splitter.Feed("dro", keep);
  splitter.Feed("p\nstall 2\n\ncorr", keep);
  EXPECT_EQ(lines, (std::vector<std::string>{"drop", "stall 2", ""}));
  splitter.Feed("upt 1 and far too long\ndrop\n", keep);  // the overlong line goes whole, not its tail
  EXPECT_EQ(lines.back(), "drop");
  EXPECT_EQ(lines.size(), 4u);
}

TEST(ControlPipe, ALineWrittenToThePipeReachesTheHandler) {
  TemporaryDir dir;
  const std::string path = (dir.Path() / "control").string();
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::string> lines;
  ControlChannel channel(path, [&](const std::string& line) {
    std::lock_guard lock(mutex);
    lines.push_back(line);
    arrived.notify_all();
  });
  ASSERT_TRUE(channel.Start());
  struct stat status{};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
  for (const char* text : {"drop\n", "stall 2\n"}) {  // two writers, one after the other
    const int writer = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, text, std::strlen(text)), static_cast<ssize_t>(std::strlen(text)));
    ::close(writer);
  }
  std::unique_lock lock(mutex);
  EXPECT_TRUE(arrived.wait_for(lock, std::chrono::seconds(10), [&] { return lines.size() == 2; }));
  EXPECT_EQ(lines, (std::vector<std::string>{"drop", "stall 2"}));
  lock.unlock();
  channel.Stop();

  std::ofstream(dir.Path() / "plain") << "not a pipe";
  ControlChannel refused((dir.Path() / "plain").string(), [](const std::string&) {});
  std::string error;
  EXPECT_FALSE(refused.Start(&error));
  EXPECT_NE(error.find("named pipe"), std::string::npos);
}

TEST(EventLogShapes, BlocksAreCheckedAgainstTheirLength) {
  const auto shape = [](std::string_view reply) {
    return ReplyShape(reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size());
  };
  EXPECT_EQ(shape("#15abcde\r\n"), "ok");
  EXPECT_EQ(shape("#15abc"), "bad");         // truncated
  EXPECT_EQ(shape("$15abcde\r\n"), "bad");   // corrupted prefix
  EXPECT_EQ(shape("#9999999999abc"), "bad");  // announces more than it holds
  EXPECT_EQ(shape("#0"), "bad");
  EXPECT_EQ(shape("#3a5xyz"), "bad");
  EXPECT_EQ(shape("KVX162, v1.23\n"), "text");
  EXPECT_EQ(shape(""), "text");
  const std::uint8_t query[] = {'Z', 'C', ':', 'H', 0x01, '?', '\r', '\n'};
  EXPECT_EQ(PrintableLine(query, sizeof query), "ZC:H.?");
}

}  // namespace
}  // namespace kvxsim
