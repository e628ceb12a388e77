// Finding, opening, identifying, closing and reopening the instrument session.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "link/InstrumentSession.h"
#include "link/Transport.h"
#include "platform/os/Clock.h"
#include "platform/os/Timing.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"
#include "support/ScriptedInstrument.h"

namespace {

using testsupport::ScriptedInstrument;

const std::string kOpenBytes = "\r*IDN?\rZC:USED 1\rFORM:DATA INT;DINT OFF\r";

std::shared_ptr<kvxsim::SimHandle> MakeSim(int model, const std::string& serial) {
  kvxsim::InstrumentOptions options;
  options.model = model;
  options.serial = serial;
  return std::make_shared<kvxsim::SimHandle>(options);
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class InstrumentSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    ASSERT_EQ(viOpenDefaultRM(&instrument_.searchResourceManager), VI_SUCCESS);
    instrument_.InstrumentPresent = 1;
  }
  void TearDown() override {
    if (instrument_.session) CloseInstrument(instrument_, &instrument_.session, 0);
    viClose(instrument_.searchResourceManager);
    visa::ClearInstruments();
  }
  ViStatus FindAndOpen() {
    const ViStatus found = FindInstrument(instrument_);
    if (found != VI_SUCCESS) return found;
    return OpenInstrument(instrument_, instrument_.resourceDescriptors[kDescriptorSlot], &instrument_.session);
  }

  ScopedManualClock clock_;  // timeouts and pauses on the test's clock
  InstrumentSession instrument_;
};

TEST_F(InstrumentSessionTest, NoInstrumentMeansTheSearchFails) {
  visa::AddInstrument(std::make_shared<ScriptedInstrument>("OTHERVENDOR", 0x1004, 0x1234));
  visa::AddInstrument(std::make_shared<ScriptedInstrument>("OTHERMODEL", 0x1003));
  EXPECT_NE(FindInstrument(instrument_), VI_SUCCESS);
  EXPECT_STREQ(instrument_.resourceDescriptors[kDescriptorSlot], "");
  EXPECT_EQ(instrument_.session, 0u);
}

TEST_F(InstrumentSessionTest, OpensTheFirstOfTwoAndLeavesTheSecondFree) {
  auto first = MakeSim(162, "FIRST");
  auto second = MakeSim(112, "SECOND");
  visa::AddInstrument(first);
  visa::AddInstrument(second);
  ASSERT_EQ(FindAndOpen(), 0);
  EXPECT_STREQ(instrument_.resourceDescriptors[kDescriptorSlot], "USB0::0x2177::0x1004::FIRST::RAW");
  EXPECT_TRUE(first->Claimed());
  EXPECT_FALSE(second->Claimed());
  EXPECT_TRUE(second->TakeReceived().empty());

  // The second instrument can still be opened by someone else.
  InstrumentSession other;
  ASSERT_EQ(OpenInstrument(other, second->Descriptor().c_str(), &other.session), 0);
  EXPECT_EQ(other.modelNumber, 112);
  CloseInstrument(other, &other.session, 1);
}

TEST_F(InstrumentSessionTest, AClaimedInstrumentCannotBeOpenedAgain) {
  auto sim = MakeSim(162, "ONLY");
  visa::AddInstrument(sim);
  ASSERT_EQ(FindAndOpen(), 0);
  InstrumentSession second;
  EXPECT_EQ(OpenInstrument(second, sim->Descriptor().c_str(), &second.session), -1);
  EXPECT_EQ(second.resourceManager, 0u) << "the failed open closes its resource manager";
  EXPECT_EQ(second.session, 0u);
}

TEST_F(InstrumentSessionTest, OpenAndCloseWriteExactlyTheirBytes) {
  auto sim = MakeSim(162, "BYTES");
  visa::AddInstrument(sim);
  ASSERT_EQ(FindAndOpen(), 0);
  EXPECT_EQ(Text(sim->TakeReceived()), kOpenBytes);
  EXPECT_TRUE(sim->Claimed());
  CloseInstrument(instrument_, &instrument_.session, 1);
  EXPECT_EQ(Text(sim->TakeReceived()), "ZC:USED 0\r");
  EXPECT_FALSE(sim->Claimed());
  EXPECT_EQ(instrument_.session, 0u);
  EXPECT_EQ(instrument_.resourceManager, 0u);

  ASSERT_EQ(OpenInstrument(instrument_, sim->Descriptor().c_str(), &instrument_.session), 0);
  sim->TakeReceived();
  CloseInstrument(instrument_, &instrument_.session, 0);
  EXPECT_EQ(Text(sim->TakeReceived()), "") << "release 0 writes nothing";
}

TEST_F(InstrumentSessionTest, OpenConfiguresTheSession) {
  visa::AddInstrument(MakeSim(162, "CONF"));
  ASSERT_EQ(FindAndOpen(), 0);
  ViUInt32 timeout = 0;
  ViBoolean suppress = VI_TRUE;
  viGetAttribute(instrument_.session, VI_ATTR_TMO_VALUE, &timeout);
  viGetAttribute(instrument_.session, VI_ATTR_SUPPRESS_END_EN, &suppress);
  EXPECT_EQ(timeout, 3000u);
  EXPECT_EQ(suppress, VI_FALSE);
}

TEST_F(InstrumentSessionTest, ModelChoosesTheSensitivityTable) {
  const double table125[] = {0.0025, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
  const double table1255[] = {0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 25, 50, 100};
  for (const int model : {162, 112, 71}) {
    auto sim = MakeSim(model, "M" + std::to_string(model));
    InstrumentSession session;
    EXPECT_EQ(OpenInstrument(session, sim->Descriptor().c_str(), &session.session), -1) << "not registered yet";
    visa::AddInstrument(sim);
    ASSERT_EQ(OpenInstrument(session, sim->Descriptor().c_str(), &session.session), 0);
    EXPECT_EQ(session.modelNumber, model);
    EXPECT_EQ(session.identifiedModelNumber, model);
    EXPECT_EQ(std::string(session.modelName), "KVX" + std::to_string(model));
    EXPECT_STREQ(session.serialNumber, ("M" + std::to_string(model)).c_str());
    const double* expected = model == 162 ? table125 : table1255;
    for (int i = 0; i < kSensitivityCount; ++i) EXPECT_DOUBLE_EQ(session.VoltsPerDivTable[i], expected[i]) << i;
    CloseInstrument(session, &session.session, 1);
  }
}

TEST(IdentificationParse, FillsTheFieldsItReaches) {
  InstrumentSession session;
  ParseIdentification(session, "KVX162, v1.23/A1/ZC, SN0042\n");
  EXPECT_STREQ(session.modelName, "KVX162");
  EXPECT_DOUBLE_EQ(session.firmwareVersion, 1.23);
  EXPECT_STREQ(session.idnTag, "ZC");
  EXPECT_STREQ(session.serialNumber, "SN0042");

  // Only a model name: everything else keeps its previous contents.
  ParseIdentification(session, "KVX112\n");
  EXPECT_STREQ(session.modelName, "KVX112");
  EXPECT_DOUBLE_EQ(session.firmwareVersion, 1.23);
  EXPECT_STREQ(session.idnTag, "ZC");
  EXPECT_STREQ(session.serialNumber, "SN0042");

  // Broken after the version: the version is taken, the rest is kept.
  ParseIdentification(session, "KVX71, v2.5-broken");
  EXPECT_STREQ(session.modelName, "KVX71");
  EXPECT_DOUBLE_EQ(session.firmwareVersion, 2.5);
  EXPECT_STREQ(session.idnTag, "ZC");

  // Over-long fields are cut to their size, never beyond.
  ParseIdentification(session, "KVX1620000000000, v1.00/x/TAGTAGTAGTAG, SERIAL-NUMBER-THAT-IS-TOO-LONG");
  EXPECT_STREQ(session.modelName, "KVX162000");
  EXPECT_STREQ(session.idnTag, "TAGTAGTAG");
  EXPECT_STREQ(session.serialNumber, "SERIAL-NUMBER-THAT-");

  InstrumentSession empty;
  ParseIdentification(empty, "");
  EXPECT_STREQ(empty.modelName, "");
}

TEST_F(InstrumentSessionTest, OnlyAModelNameStillOpens) {
  auto scripted = std::make_shared<ScriptedInstrument>("NAMEONLY");
  scripted->QueueReply("KVX162\n");
  visa::AddInstrument(scripted);
  std::strcpy(instrument_.serialNumber, "KEPT");
  ASSERT_EQ(FindAndOpen(), 0);
  EXPECT_STREQ(instrument_.modelName, "KVX162");
  EXPECT_EQ(instrument_.modelNumber, 162);
  EXPECT_STREQ(instrument_.serialNumber, "KEPT");
  EXPECT_EQ(scripted->Written(), kOpenBytes);
}

TEST_F(InstrumentSessionTest, SilentInstrumentFailsTheOpen) {
  auto scripted = std::make_shared<ScriptedInstrument>("SILENT");
  visa::AddInstrument(scripted);
  const double start = Timer();
  EXPECT_EQ(FindAndOpen(), VI_ERROR_TMO);
  EXPECT_NEAR(Timer() - start, 3.0, 1e-6) << "the identification waits the standing timeout";
  EXPECT_EQ(scripted->Written(), kOpenBytes) << "claim and format are sent whatever the identification gave";
}

TEST_F(InstrumentSessionTest, ReopenLeavesVisaDefaultsAndShowsTheNotice) {
  auto sim = MakeSim(162, "REOPEN");
  visa::AddInstrument(sim);
  ASSERT_EQ(FindAndOpen(), 0);
  int shown = 0, hidden = 0;
  double shownAt = 0.0, hiddenAt = 0.0;
  SetReopenNotice({[&] {
                     ++shown;
                     shownAt = Timer();
                   },
                   [&] {
                     ++hidden;
                     hiddenAt = Timer();
                   }});
  viSetAttribute(instrument_.session, VI_ATTR_TMO_VALUE, 500);
  WriteBytes(instrument_.session, "ZC:HTTP?\r");  // a reply left unread is drained
  sim->TakeReceived();
  const ViSession before = instrument_.session;
  ReopenSession(instrument_);
  SetReopenNotice({});
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(hidden, 1);
  // A second before the drain, which ends on the 500 ms timeout, and a
  // second after the close, all while the notice is up.
  EXPECT_NEAR(hiddenAt - shownAt, 1.0 + 0.5 + 1.0, 1e-6);
  ASSERT_NE(instrument_.session, 0u);
  EXPECT_NE(instrument_.session, before);
  ViUInt32 timeout = 0;
  viGetAttribute(instrument_.session, VI_ATTR_TMO_VALUE, &timeout);
  EXPECT_EQ(timeout, kVisaDefaultTimeoutMs);
  EXPECT_EQ(Text(sim->TakeReceived()), "") << "the reopened session is not configured again";

  std::string reply;
  EXPECT_EQ(Query(instrument_.session, "*OPC?\r", 0.0, 10, reply), VI_SUCCESS);
  EXPECT_EQ(reply, "1\n") << "nothing stale is left in the new session";
}

}  // namespace
