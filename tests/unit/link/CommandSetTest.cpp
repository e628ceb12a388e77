// The exact bytes of every setting command, the self-test query and the
// trigger-level helper.
#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>
#include <vector>

#include "SetupRecords.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/TriggerLevel.h"

namespace {

using setuptest::ScriptedSessionTest;

struct CommandCase {
  std::string label;
  std::function<ViStatus(ViSession)> call;
  std::string expected;
};

std::string Ch(int channel) { return std::to_string(channel + 1); }

std::vector<CommandCase> ChannelCases() {
  const std::vector<std::string> couplings = {"AC", "DC", "GROUND"};
  std::vector<CommandCase> cases;
  for (int ch = 0; ch < 2; ++ch) {
    for (int c = 0; c < 3; ++c)
      cases.push_back({"coupling", [=](ViSession s) { return SetInputCoupling(s, ch, c); },
                       ":INP" + Ch(ch) + ":COUP " + couplings[c] + "\r"});
    for (int i = 0; i < 15; ++i)
      cases.push_back({"sensitivity", [=](ViSession s) { return SetSensitivity(s, ch, i); },
                       ":ZC:VOLT" + Ch(ch) + ":RANG:PTP " + std::to_string(i) + "\r"});
    cases.push_back({"offset", [=](ViSession s) { return SetVerticalOffset(s, ch, -0.25); },
                     ":VOLT" + Ch(ch) + ":RANG:OFFS -0.25\r"});
    cases.push_back({"offset", [=](ViSession s) { return SetVerticalOffset(s, ch, 3.0 * 0.0025); },
                     ":VOLT" + Ch(ch) + ":RANG:OFFS 0.0075\r"});
    cases.push_back({"probe", [=](ViSession s) { return SetProbeFactor(s, ch, 2.0); },
                     ":DISP:TRAC:Y:PDIV" + Ch(ch) + " 2\r"});
    cases.push_back({"probe", [=](ViSession s) { return SetProbeFactor(s, ch, 10.0); },
                     ":DISP:TRAC:Y:PDIV" + Ch(ch) + " 10\r"});
    for (int on = 0; on < 2; ++on)
      cases.push_back({"display", [=](ViSession s) { return SetTraceDisplay(s, ch, on); },
                       ":DISP:TRAC:STAT" + Ch(ch) + " " + std::to_string(on) + "\r"});
    cases.push_back({"cursor reference", [=](ViSession s) { return SetCursorReference(s, ch); },
                     ":DISP:CURS:REF INT" + Ch(ch) + "\r"});
  }
  return cases;
}

std::vector<CommandCase> TimebaseCases() {
  const std::vector<std::string> words = {
      "1E-9",  "2E-9",  "5E-9",  "10E-9",  "20E-9",  "50E-9",  "0.1E-6", "0.2E-6", "0.5E-6", "1E-6", "2E-6",
      "5E-6",  "10E-6", "20E-6", "50E-6",  "0.1E-3", "0.2E-3", "0.5E-3", "1E-3",   "2E-3",   "5E-3", "10E-3",
      "20E-3", "50E-3", "100E-3", "200E-3", "500E-3", "1",      "2",      "5",      "10"};
  std::vector<CommandCase> cases;
  for (int i = 0; i < static_cast<int>(words.size()); ++i)
    cases.push_back({"timebase", [=](ViSession s) { return SetTimebase(s, i); },
                     ":DISP:TRAC:X:PDIV " + words[i] + "\r"});
  cases.push_back({"horizontal offset", [](ViSession s) { return SetHorizontalOffset(s, -0.0005); },
                   ":SWE:OFFS:TIME -0.0005\r"});
  cases.push_back({"horizontal offset", [](ViSession s) { return SetHorizontalOffset(s, 10 * -25000 * 1e-9 / 50000); },
                   ":SWE:OFFS:TIME -0.000000005\r"});
  cases.push_back({"zoom", [](ViSession s) { return SetHorizontalZoom(s, 0, 20.0); }, ":DISP:TRAC:ZOOM:H 0,20\r"});
  cases.push_back({"zoom", [](ViSession s) { return SetHorizontalZoom(s, -1200, 2.5); },
                   ":DISP:TRAC:ZOOM:H -1200,2.5\r"});
  cases.push_back({"time cursors", [](ViSession s) { return SetTimeCursors(s, 0, 49999); },
                   ":DISP:CURS:TIME1:POS 0\r:DISP:CURS:TIME2:POS 49999\r"});
  return cases;
}

std::vector<CommandCase> TriggerCases() {
  const std::vector<std::string> sources = {"INT1", "INT2", "NONE"};
  const std::vector<std::string> slopes = {"POS", "NEG"};
  const std::vector<std::string> couplings = {":TRIG:COUP AC\r", ":TRIG:COUP DC\r", ":TRIG:FILT:HPAS ON\r",
                                              ":TRIG:FILT:LPAS ON\r"};
  const std::vector<std::string> types = {"EDGE", "PUL", "DEL", "EVEN", "TV", "LINE"};
  std::vector<CommandCase> cases;
  for (int i = 0; i < 3; ++i)
    cases.push_back({"source", [=](ViSession s) { return SetTriggerSource(s, i); },
                     ":TRIG:SOUR " + sources[i] + "\r"});
  for (int i = 0; i < 2; ++i)
    cases.push_back({"slope", [=](ViSession s) { return SetTriggerSlope(s, i); }, ":TRIG:SLOP " + slopes[i] + "\r"});
  for (int i = 0; i < 4; ++i)
    cases.push_back({"trigger coupling", [=](ViSession s) { return SetTriggerCoupling(s, i); }, couplings[i]});
  for (int t = 0; t < 6; ++t) {
    const std::string continuous = ":INIT:CONT:NAME " + types[t] + ",ON\r";
    cases.push_back({"mode", [=](ViSession s) { return SetTriggerMode(s, 0, t); }, continuous + ":TRIG:ATRIG ON\r"});
    cases.push_back({"mode", [=](ViSession s) { return SetTriggerMode(s, 1, t); }, continuous + ":TRIG:ATRIG OFF\r"});
    cases.push_back({"mode", [=](ViSession s) { return SetTriggerMode(s, 2, t); }, ":INIT:NAME " + types[t] + "\r"});
  }
  cases.push_back({"level", [](ViSession s) { return SetTriggerLevel(s, -1.26 * 0.05); }, ":TRIG:LEV -0.063\r"});
  cases.push_back({"level", [](ViSession s) { return SetTriggerLevel(s, 50.0); }, ":TRIG:LEV 50\r"});
  cases.push_back({"reset", [](ViSession s) { return ResetInstrument(s); }, "*RST\r"});
  for (int on = 0; on < 2; ++on)
    cases.push_back({"measurements", [=](ViSession s) { return SetAutoMeasurements(s, on); },
                     ":MEAS:AUTO " + std::to_string(on) + "\r"});
  return cases;
}

using CommandSetTest = ScriptedSessionTest;

TEST_F(CommandSetTest, EveryOperationWritesItsExactBytes) {
  std::vector<CommandCase> cases = ChannelCases();
  for (auto more : {TimebaseCases(), TriggerCases()}) cases.insert(cases.end(), more.begin(), more.end());
  ASSERT_EQ(cases.size(), 50u + 36u + 32u);
  for (const CommandCase& c : cases) {
    instrument_->ClearWritten();
    EXPECT_EQ(c.call(session_), VI_SUCCESS) << c.label;
    EXPECT_EQ(instrument_->Written(), c.expected) << c.label;
  }
}

TEST_F(CommandSetTest, IndexesOutsideTheirTablesSendNothing) {
  const std::vector<std::pair<std::string, std::function<ViStatus(ViSession)>>> calls = {
      {"coupling 3", [](ViSession s) { return SetInputCoupling(s, 0, 3); }},
      {"coupling -1", [](ViSession s) { return SetInputCoupling(s, 1, -1); }},
      {"coupling channel 2", [](ViSession s) { return SetInputCoupling(s, 2, 0); }},
      {"sensitivity 15", [](ViSession s) { return SetSensitivity(s, 0, 15); }},
      {"sensitivity -1", [](ViSession s) { return SetSensitivity(s, 1, -1); }},
      {"offset channel -1", [](ViSession s) { return SetVerticalOffset(s, -1, 1.0); }},
      {"probe channel 2", [](ViSession s) { return SetProbeFactor(s, 2, 1.0); }},
      {"display channel 2", [](ViSession s) { return SetTraceDisplay(s, 2, 1); }},
      {"timebase 31", [](ViSession s) { return SetTimebase(s, 31); }},
      {"timebase -1", [](ViSession s) { return SetTimebase(s, -1); }},
      {"source 3", [](ViSession s) { return SetTriggerSource(s, 3); }},
      {"slope 2", [](ViSession s) { return SetTriggerSlope(s, 2); }},
      {"trigger coupling 4", [](ViSession s) { return SetTriggerCoupling(s, 4); }},
      {"trigger coupling -1", [](ViSession s) { return SetTriggerCoupling(s, -1); }},
      {"mode 3", [](ViSession s) { return SetTriggerMode(s, 3, 0); }},
      {"mode -1", [](ViSession s) { return SetTriggerMode(s, -1, 0); }},
      {"type 6", [](ViSession s) { return SetTriggerMode(s, 0, 6); }},
      {"single type 6", [](ViSession s) { return SetTriggerMode(s, 2, 6); }},
      {"cursor reference 2", [](ViSession s) { return SetCursorReference(s, 2); }},
  };
  for (const auto& [label, call] : calls) {
    EXPECT_EQ(call(session_), kRejectedArgument) << label;
    EXPECT_EQ(instrument_->Written(), "") << label;
  }
}

TEST_F(CommandSetTest, RunStateSendsTheCurrentStateAndWaits) {
  for (const auto& [stop, expected] : {std::pair{0, ":TRIG:RUN:STAT 1\r"}, std::pair{1, ":TRIG:RUN:STAT 0\r"},
                                       std::pair{7, ":TRIG:RUN:STAT 0\r"}}) {
    instrument_->ClearWritten();
    const double start = Timer();
    EXPECT_EQ(SetRunState(session_, stop), VI_SUCCESS);
    EXPECT_NEAR(Timer() - start, 0.5, 1e-9) << "the instrument gets half a second";
    EXPECT_EQ(instrument_->Written(), expected);
  }
}

TEST_F(CommandSetTest, SelfTestReportsTheFailedBitsOfTheMask) {
  const std::vector<std::pair<std::string, int>> answers = {
      {"333F\n", 0}, {"3337\n", 0x0008}, {"0000\n", 0x333F}, {"FFFF\n", 0}, {"1\n", 0x333E}, {"no\n", 0}};
  for (const auto& [reply, expected] : answers) {
    instrument_->ClearWritten();
    instrument_->QueueReply(reply);
    int result = -1;
    EXPECT_EQ(ReadSelfTest(session_, &result), VI_SUCCESS);
    EXPECT_EQ(result, expected) << reply;
    EXPECT_EQ(instrument_->Written(), "*WAI\r:SYST:AUTOTEST?\r");
  }
  int result = -1;
  const double start = Timer();
  EXPECT_EQ(ReadSelfTest(session_, &result), VI_ERROR_TMO);
  EXPECT_GE(Timer() - start, kShortTimeoutMs / 1000.0 - 1e-9) << "waited for the answer until the timeout";
  EXPECT_EQ(result, 0) << "no answer counts as all passed";
}

class TriggerLevelTest : public ScriptedSessionTest {
 protected:
  void SetUp() override {
    ScriptedSessionTest::SetUp();
    saved_ = TheInstrument;
    savedSetup_ = ProgramSetup;
    TheInstrument.session = session_;
    TheInstrument.VoltsPerDivTable = VoltsPerDivTableFor(162);
    ProgramSetup.ch1VoltsPerDivIndex = 4;  // 50 mV/div
    ProgramSetup.ch2VoltsPerDivIndex = 8;  // 1 V/div
  }
  void TearDown() override {
    TheInstrument = saved_;
    ProgramSetup = savedSetup_;
    SetTriggerLevelView({});
    ScriptedSessionTest::TearDown();
  }
  InstrumentSession saved_;
  InstrumentSetup savedSetup_;
};

TEST_F(TriggerLevelTest, LevelIsStoredInTwentySecondsAndSentInVoltsOfTheSource) {
  EXPECT_EQ(ApplyTriggerLevel(-1.26, &ProgramSetup.ch1TriggerLevel, 0, 1), VI_SUCCESS);
  EXPECT_EQ(ProgramSetup.ch1TriggerLevel, -27);
  EXPECT_EQ(instrument_->Written(), ":TRIG:LEV -0.063\r");

  instrument_->ClearWritten();
  ApplyTriggerLevel(2.5, &ProgramSetup.ch2TriggerLevel, 1, 1);
  EXPECT_EQ(ProgramSetup.ch2TriggerLevel, 55);
  ApplyTriggerLevel(3.0, &ProgramSetup.ch1TriggerLevel, 0, 0);
  EXPECT_EQ(ProgramSetup.ch1TriggerLevel, 66);
  ApplyTriggerLevel(1.0, &ProgramSetup.ch1TriggerLevel, 2, 1);
  ProgramSetup.ch1VoltsPerDivIndex = 99;  // never read past the table
  ApplyTriggerLevel(1.0, &ProgramSetup.ch1TriggerLevel, 0, 1);
  EXPECT_EQ(instrument_->Written(), ":TRIG:LEV 2.5\r:TRIG:LEV 0\r:TRIG:LEV 0\r");
}

TEST_F(TriggerLevelTest, ShownLevelIsInDivisions) {
  ShowTriggerLevel(1, -27);  // no view installed: nothing happens
  std::vector<std::pair<int, double>> shown;
  SetTriggerLevelView([&](int panel, double divisions) { shown.emplace_back(panel, divisions); });
  ShowTriggerLevel(3, -27);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].first, 3);
  EXPECT_DOUBLE_EQ(shown[0].second, -27 / 22.0);
}

TEST_F(CommandSetTest, RealsIgnoreTheUsersLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
  SetTriggerLevel(session_, -1.26 * 0.05);
  SetHorizontalZoom(session_, 1200, 2.5);
  SetVerticalOffset(session_, 1, -0.0075);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(instrument_->Written(), ":TRIG:LEV -0.063\r:DISP:TRAC:ZOOM:H 1200,2.5\r:VOLT2:RANG:OFFS -0.0075\r");
}

}  // namespace
