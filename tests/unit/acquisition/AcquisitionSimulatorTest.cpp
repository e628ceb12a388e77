// The acquisition against the simulated instrument while the user-interface
// side works on a second real thread, and the hooks autosets take from it.
#include "AcquisitionTestSupport.h"
#include "link/Autoset.h"
#include "link/SetupTransfer.h"
#include "link/Transport.h"
#include "sim/Instrument.h"

namespace acquisitiontest {
namespace {

class AcquisitionSimulatorTest : public AcquisitionFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(AcquisitionFixture::SetUp());
    UseInstrument(sim_);
    ASSERT_EQ(OpenInstrument(TheInstrument, sim_->Descriptor().c_str(), &TheInstrument.session), VI_SUCCESS);
    ReadSetup(TheInstrument.session, ProgramSetup);
    ProgramSetup.runState = 0;  // acquiring with both channels on
    ProgramSetup.ch1Displayed = ProgramSetup.ch2Displayed = 1;
    WriteSetup(TheInstrument.session, ProgramSetup);
  }
  void TearDown() override {
    if (AcquisitionPool.load() != 0) StopAcquisition();
    SetAutosetHooks({});
    CloseInstrument(TheInstrument, &TheInstrument.session, 1);
    AcquisitionFixture::TearDown();
  }

  ScopedManualClock clock_;  // every wait returns at once, time still counts
  std::shared_ptr<kvxsim::SimHandle> sim_ = std::make_shared<kvxsim::SimHandle>(kvxsim::InstrumentOptions{});
};

// While the thread polls, this thread empties samples and references, reads
// the mirror and the setup record, and sends its own commands under the link.
TEST_F(AcquisitionSimulatorTest, TheUserInterfaceWorksWhileTheThreadPolls) {
  ProgramSetup.ref1Displayed = ProgramSetup.ref2Displayed = 1;
  StartAcquisition();
  int rounds = 0;
  long seen = 0;
  while (record_.drawTraces.load() < 40 && rounds < 2000000) {
    ++rounds;
    ClearChannelSamples();
    ProgramReferences.Clear(rounds % 3 == 0 ? kAllReferences : rounds % 2);
    seen += Mirror.ChannelShown[0].load() + Mirror.ChannelMaskSeen.load() + Mirror.StateSeen.load();
    seen += static_cast<long>(Mirror.TriggerPositionSeen.load()) + Mirror.VerticalPositionSeen[1].load();
    seen += ChannelSamples.Snapshot()[1].blockB[0] + ProgramReferences.Snapshot().ReferenceStore[0][0];
    seen += SnapshotProgramSetup().runState;
    if (rounds % 50 == 0) {
      LinkOwnership link;
      WriteBytes(TheInstrument.session, "ZC:USED 1\r");
    }
  }
  StopAcquisition();
  EXPECT_GE(record_.drawTraces.load(), 40) << "after " << rounds << " rounds (" << seen << ")";
  EXPECT_EQ(AcquisitionPool.load(), 0);
  EXPECT_EQ(LinkBusy.load(), 0);
  EXPECT_EQ(Mirror.ChannelMaskSeen.load(), 3) << "the instrument says both channels are on";
  EXPECT_EQ(Mirror.RunStopSeen.load(), 0);
}

// A full autoset that switches a channel on forgets that channel's samples,
// and keeps a displayed channel's reference flag only while it holds data.
TEST_F(AcquisitionSimulatorTest, AutosetForgetsTheSamplesOfAChannelItSwitchesOn) {
  InstallAcquisitionHooks();
  // No signal on CH2: the instrument leaves it off, the program switches it on.
  sim_->SetSignal(1, kvxsim::SignalSpec{kvxsim::Waveform::None, 0.0, 0.0, 0.0, 0.0});
  ProgramSetup.ch2Displayed = ProgramSetup.ref1Displayed = 0;
  WriteSetup(TheInstrument.session, ProgramSetup);
  ChannelSamples.Store(0, FilledBlock(0x55), FilledBlock(0x56));
  ChannelSamples.Store(1, FilledBlock(0x44), FilledBlock(0x45));
  std::int32_t enabled = 1;
  ASSERT_TRUE(ProgramReferences.CaptureIfEmpty(0, FilledBlock(0x55), "REF1", enabled));

  ASSERT_EQ(RunAutoset(TheInstrument.session), 1);
  EXPECT_EQ(ChannelSamples.Channel(1).blockA, SampleBlock{});
  EXPECT_EQ(ChannelSamples.Channel(1).blockB, SampleBlock{});
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(0x55));
  EXPECT_EQ(ProgramSetup.ch2Displayed, 1);
  EXPECT_EQ(ProgramSetup.ref1Displayed, 1) << "REF1 holds data";
  ProgramReferences.Clear(0);
  ASSERT_EQ(RunAutoset(TheInstrument.session), 1);
  EXPECT_EQ(ProgramSetup.ref1Displayed, 0) << "REF1 is empty";
}

}  // namespace
}  // namespace acquisitiontest
