// The main panel on the headless front-end, wired to ControleScope, with an
// in-process simulated instrument whose received bytes the tests read. The
// program's setup starts as the instrument's own record; waits run on a
// clock that jumps to each deadline.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "link/SetupTransfer.h"
#include "panel/ControleScope.h"
#include "panel/MainToolbar.h"
#include "platform/os/Clock.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"
#include "support/HeadlessTestSupport.h"

namespace paneltest {

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    headless::Reset();
    testsupport::FailOnUnansweredQuestions();
    SetCurrentLanguage(kEnglish);
    panel_ = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
    ASSERT_GT(panel_, 0);
    MainPanelHandle = panel_;
    RegisterCallback("ControleScope", CtrlCallback(ControleScope));
    visa::ClearInstruments();
    sim_ = std::make_shared<kvxsim::SimHandle>(Options());
    visa::AddInstrument(sim_);
    TheInstrument = InstrumentSession{};
    ASSERT_EQ(OpenInstrument(TheInstrument, sim_->Descriptor().c_str(), &TheInstrument.session), 0);
    savedSetup_ = ProgramSetup;
    ReadSetup(TheInstrument.session, ProgramSetup);
    Mirror.ZoomActive = 0;
    CurrentChannel = 0;
    LinkBusy = 0;
    Received();
  }
  void TearDown() override {
    CloseInstrument(TheInstrument, &TheInstrument.session, 0);
    visa::ClearInstruments();
    ProgramSetup = savedSetup_;
    MainPanelHandle = 0;
    MainToolbarHandle = 0;
    headless::Reset();
  }
  virtual kvxsim::InstrumentOptions Options() const { return {}; }

  // Every byte the instrument received since the last call.
  std::string Received() {
    const std::vector<std::uint8_t> bytes = sim_->TakeReceived();
    return {bytes.begin(), bytes.end()};
  }
  double Value(int control) const {
    double value = -1.0;
    GetCtrlVal(panel_, control, &value);
    return value;
  }
  int Attribute(int control, int attribute) const {
    int value = -1;
    GetCtrlAttribute(panel_, control, attribute, &value);
    return value;
  }
  // The refresh sends a command, so it runs as its callers run it: on the
  // user-interface thread, owning the link.
  static void Refresh() {
    headless::Run([] {
      LinkOwnership link;
      RefreshPanelFromSetup();
    });
  }

  ScopedManualClock clock_;
  int panel_ = 0;
  std::shared_ptr<kvxsim::SimHandle> sim_;
  InstrumentSetup savedSetup_{};
};

}  // namespace paneltest
