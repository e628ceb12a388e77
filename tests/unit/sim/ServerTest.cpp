// The kvx-sim server over real sockets, and its command line.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "SimTestSupport.h"
#include "platform/os/Clock.h"
#include "platform/visa/CableFraming.h"
#include "sim/ControlCommand.h"
#include "sim/EventLog.h"
#include "sim/Server.h"
#include "sim/SimulatedInstrument.h"
#include "sim/ServerOptions.h"
#include "support/ScratchDirectory.h"

extern char** environ;

namespace kvxsim {
namespace {

using test::Bytes;
using test::milliseconds;

// One TCP client of the cable.
class Client {
 public:
  // A receive buffer of `receiveBuffer` bytes (0: the system's) makes a
  // client that stops reading fill up quickly.
  explicit Client(std::uint16_t port, int receiveBuffer = 0) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~Client() { Close(); }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  bool Connected() const { return connected_; }

  std::string Greeting() {
    Bytes frame;
    return visa::ReadCableFrame(fd_, frame, milliseconds(5000)) == visa::CableRead::Ok ? test::ToText(frame) : "";
  }
  bool Write(std::string_view text) {
    return visa::WriteCableFrame(fd_, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                                 milliseconds(5000)) == visa::CableWrite::Ok;
  }
  bool WriteRaw(const std::uint8_t* data, std::size_t count) {
    return ::send(fd_, data, count, MSG_NOSIGNAL) == static_cast<ssize_t>(count);
  }
  visa::CableRead Read(Bytes& frame, milliseconds timeout = milliseconds(5000)) {
    return reader_.Read(fd_, frame, timeout);
  }
  std::string Query(std::string_view text) {
    Bytes frame;
    if (!Write(text) || Read(frame) != visa::CableRead::Ok) return "";
    return test::ToText(frame);
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
  visa::CableFrameReader reader_;
};

// Waits (boundedly) until the server has let the previous client go.
std::string GreetingWhenFree(std::unique_ptr<Client>& client, std::uint16_t port) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    client = std::make_unique<Client>(port);
    const std::string greeting = client->Greeting();
    if (greeting != "BUSY") return greeting;
    std::this_thread::sleep_for(milliseconds(20));
  }
  return "BUSY";
}

// The log a bench times recovery from: clients, replies with the query they
// answer and how they look, faults as they strike, in order and on one clock.
TEST(ServerEventLog, NotesClientsRepliesAndFaultsInOrder) {
  const testsupport::ScratchDirectory dir("kvx-log");
  const std::string path = dir.File("frames.log");
  {
    EventLog log;
    ASSERT_TRUE(log.Open(path));
    const auto handle = std::make_shared<SimHandle>(InstrumentOptions{});
    handle->Engine().SetFaultObserver([&log](std::string_view kind) { log.Note("fault " + std::string(kind)); });
    Server server(handle, "127.0.0.1", 0);
    server.SetEventLog(&log);
    ASSERT_TRUE(server.Start());
    Client client(server.Port());
    ASSERT_EQ(client.Greeting(), "OPEN");
    EXPECT_EQ(client.Query("ZC:HTTP?\r").substr(0, 1), "#");
    std::string error;
    ASSERT_TRUE(ApplyControl(*ParseControlLine("drop", error), *handle, error));
    ASSERT_TRUE(client.Write("*IDN?\r"));
    EXPECT_EQ(client.Query("*OPC?\r"), "1\n");
    ASSERT_TRUE(ApplyControl(*ParseControlLine("disconnect", error), *handle, error));
    Bytes frame;
    EXPECT_EQ(client.Read(frame), visa::CableRead::Closed);
    server.Stop();
    handle->Engine().SetFaultObserver(nullptr);
  }
  std::ifstream file(path);
  std::vector<std::string> events;
  double previous = 0.0, seconds = 0.0;
  std::string text;
  while (file >> seconds && std::getline(file, text)) {
    EXPECT_GE(seconds, previous);
    previous = seconds;
    events.push_back(text.substr(1));
  }
  EXPECT_EQ(events, (std::vector<std::string>{"client connected", "reply ok ZC:HTTP?", "fault dropped",
                                              "reply text *OPC?", "fault pulled cable", "client dropped"}));
}

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = std::make_shared<SimHandle>(InstrumentOptions{});
    server_ = std::make_unique<Server>(handle_, "127.0.0.1", 0);
    std::string error;
    ASSERT_TRUE(server_->Start(&error)) << error;
    ASSERT_NE(server_->Port(), 0);
  }

  std::shared_ptr<SimHandle> handle_;
  std::unique_ptr<Server> server_;
};

TEST_F(ServerTest, FirstClientIsServedOthersAreBusy) {
  EXPECT_EQ(server_->Address(), "127.0.0.1");
  Client first(server_->Port());
  ASSERT_TRUE(first.Connected());
  EXPECT_EQ(first.Greeting(), "OPEN");
  Client second(server_->Port());
  EXPECT_EQ(second.Greeting(), "BUSY");
  Bytes frame;
  EXPECT_EQ(second.Read(frame), visa::CableRead::Closed);
  // The instrument is held for the client: an in-process open is refused too.
  std::unique_ptr<visa::DeviceLink> link;
  EXPECT_EQ(handle_->Open(link), VI_ERROR_RSRC_BUSY);

  EXPECT_EQ(first.Query("\r*IDN?\r"), "KVX162, v1.23/A1/ZC, KVX0001\n");
  EXPECT_EQ(handle_->Claimed(), false);
  first.Close();

  std::unique_ptr<Client> third;
  EXPECT_EQ(GreetingWhenFree(third, server_->Port()), "OPEN");
  EXPECT_EQ(third->Query("*OPC?\r"), "1\n");
}

TEST_F(ServerTest, EachReplyIsOneFrameAndBlocksKeepTheirBytes) {
  Client client(server_->Port());
  ASSERT_EQ(client.Greeting(), "OPEN");
  ASSERT_TRUE(client.Write("*OPC?\r*IDN?\r:SYST:SET?\r"));
  Bytes frame;
  ASSERT_EQ(client.Read(frame), visa::CableRead::Ok);
  EXPECT_EQ(test::ToText(frame), "1\n");
  ASSERT_EQ(client.Read(frame), visa::CableRead::Ok);
  EXPECT_EQ(test::ToText(frame), "KVX162, v1.23/A1/ZC, KVX0001\n");
  ASSERT_EQ(client.Read(frame), visa::CableRead::Ok);
  ASSERT_EQ(frame.size(), 579u);
  const auto record = handle_->SetupRecord();
  EXPECT_TRUE(std::equal(record.begin(), record.end(), frame.begin() + 5));

  // A setup block split over two frames, with carriage returns inside.
  auto changed = record;
  changed[291] = 18;
  changed[400] = '\r';
  test::Reseal(changed);
  std::string write = "SYST:SET #3572" + std::string(changed.begin(), changed.end()) + "\r";
  ASSERT_TRUE(client.Write(write.substr(0, 100)));
  ASSERT_TRUE(client.Write(write.substr(100) + "*OPC?\r"));
  ASSERT_EQ(client.Read(frame), visa::CableRead::Ok);
  EXPECT_EQ(handle_->SetupRecord(), changed);
  EXPECT_EQ(handle_->TakeReceived().size(), 23u + write.size() + 6u);
}

// The instrument's stalls run on the program's clock, which the test moves.
class ServerOnTheTestClock : public ServerTest {
 protected:
  // The serving thread reads the clock: it ends before the clock goes.
  void TearDown() override { server_->Stop(); }
  ScopedManualClock clock_{ManualClock::Mode::Manual};
};

TEST_F(ServerOnTheTestClock, StalledRepliesStillArriveAndDisconnectClosesTheConnection) {
  Faults faults;
  faults.stallReplies = 1;
  faults.stallMs = 300;
  handle_->SetFaults(faults);
  Client client(server_->Port());
  ASSERT_EQ(client.Greeting(), "OPEN");
  ASSERT_TRUE(client.Write("*OPC?\r"));
  Bytes frame;
  EXPECT_EQ(client.Read(frame, milliseconds(50)), visa::CableRead::Timeout) << "came before its time";
  clock_->Advance(0.3);
  ASSERT_EQ(client.Read(frame), visa::CableRead::Ok);
  EXPECT_EQ(test::ToText(frame), "1\n");

  faults = Faults{};
  faults.disconnectAfterReplies = 1;
  handle_->SetFaults(faults);
  EXPECT_EQ(client.Query("*OPC?\r"), "1\n");
  EXPECT_EQ(client.Read(frame), visa::CableRead::Closed);

  std::unique_ptr<Client> next;
  EXPECT_EQ(GreetingWhenFree(next, server_->Port()), "OPEN");
  EXPECT_EQ(next->Query("*OPC?\r"), "1\n");
}

TEST_F(ServerTest, AnOversizedFrameEndsTheConnection) {
  Client client(server_->Port());
  ASSERT_EQ(client.Greeting(), "OPEN");
  const std::uint8_t header[4] = {0x7F, 0xFF, 0xFF, 0xFF};
  ASSERT_TRUE(client.WriteRaw(header, sizeof header));
  Bytes frame;
  EXPECT_EQ(client.Read(frame), visa::CableRead::Closed);
  std::unique_ptr<Client> next;
  EXPECT_EQ(GreetingWhenFree(next, server_->Port()), "OPEN");
}

// A client that stops reading is dropped once a reply has waited for it
// long enough; the instrument goes to the next client.
TEST(ServerClients, AClientThatStopsReadingIsDroppedAndTheNextIsServed) {
  auto handle = std::make_shared<SimHandle>(InstrumentOptions{});
  Server server(handle, "127.0.0.1", 0);
  server.SetClientWriteWait(milliseconds(300));
  ASSERT_TRUE(server.Start());
  Client stuck(server.Port(), 4096);
  ASSERT_EQ(stuck.Greeting(), "OPEN");
  ASSERT_TRUE(stuck.Write(":MMEM:STOR:TRAC INT1,\"BIG.TRC\"\r"));
  // 10 MB of replies that nobody reads: far more than the sockets hold.
  // (Later writes may already fail: the server lets the client go.)
  for (int i = 0; i < 100; ++i) stuck.Write(":MMEM:DATA? \"BIG.TRC\"\r");

  std::unique_ptr<Client> next;
  EXPECT_EQ(GreetingWhenFree(next, server.Port()), "OPEN");
  EXPECT_EQ(next->Query("*OPC?\r"), "1\n");
  server.Stop();
}

TEST_F(ServerTest, StopIsPromptWithAClientConnected) {
  Client client(server_->Port());
  ASSERT_EQ(client.Greeting(), "OPEN");
  const auto start = std::chrono::steady_clock::now();
  server_->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  Bytes frame;
  EXPECT_EQ(client.Read(frame), visa::CableRead::Closed);
  std::unique_ptr<visa::DeviceLink> link;
  EXPECT_EQ(handle_->Open(link), VI_SUCCESS);  // the client's session is gone
}

TEST(ServerOptions, ParsesListenSignalsAndFaults) {
  ServerConfig config;
  std::string error;
  const std::vector<std::string> arguments = {
      "--listen", "0.0.0.0:5025", "--model=71", "--serial", "S9", "--ch2", "triangle", "--ch2-freq", "50",
      "--ch2-vpp=3", "--ch2-offset", "-0.5", "--ch1-noise", "0.01", "--stall", "2", "--stall-ms", "100",
      "--selftest-fail", "8", "--refuse-autoset", "--disconnect-after", "5", "--drop-replies", "-1", "--seed", "7",
      "--control", "/tmp/kvx control", "--frame-log=frames.log"};
  ASSERT_EQ(ParseServerCommandLine(arguments, config, error), CommandLineAction::Run) << error;
  EXPECT_EQ(config.host, "0.0.0.0");
  EXPECT_EQ(config.port, 5025);
  EXPECT_EQ(config.instrument.model, 71);
  EXPECT_EQ(config.instrument.serial, "S9");
  EXPECT_EQ(config.instrument.signals[1].waveform, Waveform::Triangle);
  EXPECT_EQ(config.instrument.signals[1].frequencyHz, 50.0);
  EXPECT_EQ(config.instrument.signals[1].amplitudeVpp, 3.0);
  EXPECT_EQ(config.instrument.signals[1].offsetVolts, -0.5);
  EXPECT_EQ(config.instrument.signals[0].noiseVrms, 0.01);
  EXPECT_EQ(config.instrument.signals[0].waveform, Waveform::Sine);
  EXPECT_EQ(config.instrument.faults.stallReplies, 2);
  EXPECT_EQ(config.instrument.faults.stallMs, 100);
  EXPECT_EQ(config.instrument.faults.selfTestFailBits, 8);
  EXPECT_TRUE(config.instrument.faults.refuseAutoset);
  EXPECT_EQ(config.instrument.faults.disconnectAfterReplies, 5);
  EXPECT_EQ(config.instrument.faults.dropReplies, -1);
  EXPECT_EQ(config.instrument.seed, 7u);
  EXPECT_EQ(config.controlPath, "/tmp/kvx control");
  EXPECT_EQ(config.frameLogPath, "frames.log");

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--model", "100"}, {"--ch1", "sawtooth"}, {"--ch1-vpp", "-1"}, {"--listen", "x:70000"},
        {"--stall"}, {"--frobnicate"}, {"--selftest-fail", "XYZ"}, {"--control="}, {"--frame-log"}}) {
    ServerConfig other;
    EXPECT_EQ(ParseServerCommandLine(bad, other, error), CommandLineAction::Error) << bad[0];
  }
  EXPECT_EQ(ParseServerCommandLine({"--help"}, config, error), CommandLineAction::Help);
  const std::string usage = ServerUsage();
  for (const char* option : {"--ch1-freq", "--ch2-noise", "--drop-replies", "--oversize", "--disconnect-after"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }

  std::string host;
  std::uint16_t port = 1;
  EXPECT_TRUE(ParseListenAddress("0", host, port));
  EXPECT_EQ(host, "127.0.0.1");
  EXPECT_EQ(port, 0);
  EXPECT_TRUE(ParseListenAddress("[::1]:6000", host, port));
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 6000);
  EXPECT_FALSE(ParseListenAddress("host:", host, port));
}

// The executable: prints where it listens first, serves, ends on SIGTERM.
TEST(KvxSimProgram, AnnouncesItsPortServesAndEndsOnSigterm) {
  if (::access(KVX_SIM_PATH, X_OK) != 0) GTEST_SKIP() << "kvx-sim not built";
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string path = KVX_SIM_PATH;
  std::vector<char*> argv = {path.data(), const_cast<char*>("--listen"), const_cast<char*>("127.0.0.1:0"),
                             const_cast<char*>("--model"), const_cast<char*>("112"), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);

  FILE* stream = ::fdopen(out[0], "r");
  char line[128] = {};
  ASSERT_NE(std::fgets(line, sizeof line, stream), nullptr);
  unsigned port = 0;
  ASSERT_EQ(std::sscanf(line, "listening on 127.0.0.1:%u", &port), 1) << line;
  {
    Client client(static_cast<std::uint16_t>(port));
    ASSERT_EQ(client.Greeting(), "OPEN");
    EXPECT_EQ(client.Query("*IDN?\r"), "KVX112, v1.23/A1/ZC, KVX0001\n");
  }
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::fclose(stream);
}

}  // namespace
}  // namespace kvxsim
