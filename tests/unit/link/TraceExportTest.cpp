// A channel's full record as a trace file's text, and the whole export against
// the simulated instrument, including every way it can fail.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/TraceExport.h"
#include "link/TraceTransfer.h"
#include "link/Transport.h"
#include "platform/os/Clock.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"
#include "sim/SimulatedInstrument.h"

namespace {

namespace fs = std::filesystem;

constexpr int kHundredMicroseconds = 15;  // timebase index
constexpr int kOneVolt = 8;               // sensitivity index on a KVX162
const VoltsPerDivValues kVolts162 = VoltsPerDivTableFor(162);

void PutBigEndian(std::vector<std::uint8_t>& file, std::size_t at, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i, value >>= 8) file[at + static_cast<std::size_t>(i)] = value & 0xFF;
}

struct TraceFields {
  int timebase = kHundredMicroseconds;
  int sensitivity = kOneVolt;
  float probe = 1.0f;
  double position = 0.0;
  std::uint16_t code = 2048;  // every sample
  const char* unit = "V";
};

std::vector<std::uint8_t> TraceFileWith(const TraceFields& fields) {
  std::vector<std::uint8_t> file(tracefile::kSize, 0);
  PutBigEndian(file, 2, static_cast<std::uint64_t>(fields.timebase), 2);
  PutBigEndian(file, 4, std::bit_cast<std::uint32_t>(fields.probe), 4);
  PutBigEndian(file, 12, std::bit_cast<std::uint64_t>(fields.position), 8);
  PutBigEndian(file, 22, static_cast<std::uint64_t>(fields.sensitivity), 2);
  std::memcpy(&file[30], fields.unit, strnlen(fields.unit, 4));
  for (int k = 0; k < tracefile::kPoints; ++k) PutBigEndian(file, 34 + 2 * static_cast<std::size_t>(k), fields.code, 2);
  return file;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The header and the first sample's line of the text of a file with `fields`.
std::string FirstLines(const TraceFields& fields) {
  const auto text = TraceText(TraceFileWith(fields), kVolts162);
  return text ? text->substr(0, text->find('\n', text->find('\n') + 1)) : "(refused)";
}

TEST(TraceText, HeaderAndTimeColumn) {
  const auto text = TraceText(TraceFileWith({}), kVolts162);
  ASSERT_TRUE(text);
  EXPECT_EQ(std::count(text->begin(), text->end(), '\n'), 50001);
  EXPECT_EQ(text->substr(0, 63), "t (s)     \tV\n   0.000000e+00\t0.000000\n   2.000000e-08\t0.000000\n");  // 100 us/div
  EXPECT_EQ(text->substr(text->size() - 25), "   9.999800e-04\t0.000000\n");
  EXPECT_EQ(text->find('\r'), std::string::npos);
  const auto slowest = TraceText(TraceFileWith({.timebase = 34}), kVolts162);
  EXPECT_EQ(slowest->substr(slowest->size() - 25), "   1.999960e+03\t0.000000\n");  // 49,999 x 40 ms
}

TEST(TraceText, ValuesFollowCodeSensitivityProbeAndPositionAndTheUnitItsFourBytes) {
  // The header names the unit; the first sample's value.
  const std::pair<TraceFields, const char*> rows[] = {
      {{.probe = 10.0f, .code = 2112}, "10.000000"},  // probe 10, one division up
      {{.position = 22.0}, "-1.000000"},              // position one division up lowers by 1 V
      {{.position = 22.0, .code = 2112}, "0.000000"},
      {{.code = 0}, "-32.000000"},
      {{.code = 65535}, "991.984375"},
      {{.sensitivity = 1, .code = 2016, .unit = "mV"}, "-0.002500"},  // 5 mV/div
      {{.sensitivity = 0, .position = -11.0, .unit = "ABCD"}, "0.001250"},
      {{.unit = ""}, "0.000000"},
  };
  for (const auto& [fields, value] : rows)
    EXPECT_EQ(FirstLines(fields), std::string("t (s)     \t") + fields.unit + "\n   0.000000e+00\t" + value);
}

TEST(TraceText, IndexBytesOutsideTheirTablesAndDamagedFilesAreRefused) {
  EXPECT_TRUE(TraceText(TraceFileWith({.timebase = 34, .sensitivity = 14}), kVolts162));
  // 0x01FF: only the low byte is the index. A finite probe factor and position
  // whose product is not would print "-inf".
  for (const TraceFields& bad : {TraceFields{.timebase = 35}, {.timebase = 0x01FF}, {.sensitivity = 15},
                                 {.sensitivity = 255}, {.probe = NAN}, {.position = INFINITY},
                                 {.probe = 3.4e38f, .position = 1e308}})
    EXPECT_FALSE(TraceText(TraceFileWith(bad), kVolts162)) << bad.timebase << " " << bad.sensitivity;
  std::vector<std::uint8_t> shortFile = TraceFileWith({});
  shortFile.pop_back();
  EXPECT_FALSE(TraceText(shortFile, kVolts162));
}

TEST(TraceText, GermanDesktopWritesTheSameText) {
  const std::vector<std::uint8_t> file = TraceFileWith({.probe = 10.0f, .position = 3.0, .code = 2100});
  const auto inC = TraceText(file, kVolts162);
  ASSERT_TRUE(inC);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
  const auto inGerman = TraceText(file, kVolts162);
  std::setlocale(LC_ALL, "C");
  ASSERT_TRUE(inGerman);
  EXPECT_EQ(*inGerman, *inC);
  EXPECT_EQ(Lines(*inC)[2], "   2.000000e-08\t6.761364");
}

TEST(TraceTransfer, TemporaryNameTakesTheExtensionFromTheLastDot) {
  EXPECT_EQ(TemporaryFileName("TEMP_FILE.TRC"), "TEMP_FILE.TRC");
  EXPECT_EQ(TemporaryFileName("run.1.CSV"), "TEMP_FILE.CSV");
  EXPECT_EQ(TemporaryFileName("NOEXT"), "TEMP_FILE");
}

class TraceExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orni-trace-XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = (dir_ / "run1.txt").string();
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    sim_ = std::make_shared<kvxsim::SimHandle>(kvxsim::InstrumentOptions{});
    visa::AddInstrument(sim_);
    ASSERT_EQ(OpenInstrument(instrument_, sim_->Descriptor().c_str(), &session_), 0);
    // One frame, so the instrument (on hold at start) holds a record.
    std::vector<std::uint8_t> frame(100000);
    SetRunState(session_, 0);
    WriteBytes(session_, "ZC:HTTP?\r");
    ASSERT_TRUE(ReadDefiniteBlock(session_, frame).ok);
    sim_->TakeReceived();
  }
  void TearDown() override {
    CloseInstrument(instrument_, &session_, 0);
    visa::ClearInstruments();
    fs::remove_all(dir_);
  }

  std::string Received() {
    const std::vector<std::uint8_t> bytes = sim_->TakeReceived();
    return {bytes.begin(), bytes.end()};
  }
  TraceExportResult Export(int channel) {
    return ExportTraceFile(session_, instrument_.VoltsPerDivTable, path_, channel);
  }
  std::string FileText() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteOldFile() const { std::ofstream(path_, std::ios::binary) << "an older export\n"; }

  ScopedManualClock clock_;
  std::shared_ptr<kvxsim::SimHandle> sim_;
  InstrumentSession instrument_;
  ViSession session_ = 0;
  fs::path dir_;
  std::string path_;
};

const std::string kFetch = ":MMEM:DATA? \"TEMP_FILE.TRC\"\r";
const std::string kDelete = ":MMEM:DEL \"TEMP_FILE.TRC\"\r";

// An error an earlier command left in the queue is not the store's: the queue
// is emptied and the store asked again.
TEST_F(TraceExportTest, StoreFetchAndDeleteAreSentByteForByteAndStaleErrorsCleared) {
  EXPECT_EQ(Export(1), TraceExportResult::Written);
  EXPECT_EQ(Received(), ":MMEM:STOR:TRAC INT2,\"TEMP_FILE.TRC\"\r*wai\rsyst:err?\r" + kFetch + kDelete);
  EXPECT_EQ(sim_->Engine().PendingErrors(), 0u) << "the instrument understood every command";

  WriteBytes(session_, ":NOT:A:COMMAND\r:NOR:THIS\r");
  Received();
  EXPECT_EQ(Export(0), TraceExportResult::Written);
  const std::string storeChannel1 = ":MMEM:STOR:TRAC INT1,\"TEMP_FILE.TRC\"\r*wai\rsyst:err?\r";
  EXPECT_EQ(Received(), storeChannel1 + "syst:err?\rsyst:err?\r" + storeChannel1 + kFetch + kDelete);
}

TEST_F(TraceExportTest, DeleteNamesTheTemporaryFileOrTheNameAfterTheLastBackslash) {
  DeleteInstrumentFile(session_, "C:\\data\\TRACE1.TRC", 0);
  DeleteInstrumentFile(session_, "TRACE2.TRC", 0);
  DeleteInstrumentFile(session_, "C:\\data\\TRACE1.TRC", 1);
  EXPECT_EQ(Received(), ":MMEM:DEL \"TRACE1.TRC\"\r:MMEM:DEL \"TRACE2.TRC\"\r:MMEM:DEL \"TEMP_FILE.TRC\"\r");
  EXPECT_EQ(StoreTraceOnInstrument(session_, "TEMP_FILE.TRC", 2), 1);
  EXPECT_EQ(Received(), "") << "no third channel is asked for";
}

// Every point of the simulated 1 kHz, 2 Vpp sine, triggered on its rising zero
// crossing, comes back within one code step, replacing the older file.
TEST_F(TraceExportTest, ExportReproducesTheSimulatedSineAtFullResolution) {
  WriteOldFile();
  ASSERT_EQ(Export(0), TraceExportResult::Written);
  const std::vector<std::string> lines = Lines(FileText());
  ASSERT_EQ(lines.size(), 50001u) << "nothing of the older file is left";
  EXPECT_EQ(lines[0], "t (s)     \tV");
  const kvxsim::AcquisitionSettings settings = sim_->Engine().Settings();
  const kvxsim::ChannelSettings& ch1 = settings.channel[0];
  const double codeStep = 8.0 * ch1.voltsPerDiv * ch1.probeFactor / 512.0;
  const int triggerPoint = std::clamp(-settings.horizontalOffset, 0, tracefile::kPoints - 1);
  for (int k = 0; k < tracefile::kPoints; ++k) {
    const std::string& line = lines[static_cast<std::size_t>(k) + 1];
    ASSERT_EQ(line.size() > 16 ? line[15] : '?', '\t') << line;
    const double time = std::stod(line.substr(0, 15));
    const double value = std::stod(line.substr(16));
    ASSERT_NEAR(time, k * 2e-8, 5e-14) << line;
    const double expected = std::sin(2.0 * std::numbers::pi * 1000.0 * (k - triggerPoint) * 2e-8);
    ASSERT_NEAR(value, expected, codeStep) << "sample " << k;
  }
}

// A block that did not come whole leaves the user's file as it was, and the
// instrument's file is deleted all the same.
TEST_F(TraceExportTest, FailedFetchLeavesTheFileAndStillDeletes) {
  const std::pair<const char*, kvxsim::Faults> rows[] = {
      {"no '#'", {.corruptPrefix = 1}}, {"oversized", {.oversizeBlocks = 1}}, {"cut", {.truncateBlocks = 1}}};
  for (const auto& [name, faults] : rows) {
    SCOPED_TRACE(name);
    WriteOldFile();
    Received();
    sim_->SetFaults(faults);
    EXPECT_EQ(Export(0), TraceExportResult::TransferFailed);
    EXPECT_EQ(FileText(), "an older export\n");
    EXPECT_NE(Received().find(kFetch + kDelete), std::string::npos);
    EXPECT_EQ(Export(0), TraceExportResult::Written) << "nothing of the refused block is left to spoil the next";
  }
  EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(TraceExportTest, StoreRefusedByAFullMemoryFetchesNothing) {
  for (int i = 0; i < 32; ++i)
    WriteBytes(session_, ":MMEM:STOR:TRAC INT1,\"F" + std::to_string(i) + ".TRC\"\r");
  WriteOldFile();
  Received();
  EXPECT_EQ(Export(0), TraceExportResult::TransferFailed);
  const std::string received = Received();
  EXPECT_EQ(received.find(kFetch), std::string::npos);
  EXPECT_EQ(received.find(kDelete), std::string::npos);
  EXPECT_EQ(FileText(), "an older export\n");
}

TEST_F(TraceExportTest, FileThatCannotBeCreatedIsReportedAfterTheInstrumentFileIsGone) {
  path_ = (dir_ / "missing" / "run1.txt").string();
  EXPECT_EQ(Export(0), TraceExportResult::CannotCreate);
  EXPECT_NE(Received().find(kFetch + kDelete), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

}  // namespace
