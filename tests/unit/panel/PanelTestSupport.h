// The main panel on the headless front-end, wired to ControleScope, with the
// simulated instrument whose received bytes the tests read. The setup starts as
// the instrument's own record; waits run on a clock that jumps to each deadline.
#pragma once

#include <gtest/gtest.h>

#include "catalogue/MessageCatalogue.h"
#include "link/SetupTransfer.h"
#include "link/TriggerLevel.h"
#include "panel/ControleScope.h"
#include "panel/MainToolbar.h"
#include "platform/os/Clock.h"
#include "unit/display/MainPanelFixture.h"

namespace paneltest {

class PanelTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    if (HasFatalFailure()) return;
    SetCurrentLanguage(kEnglish);
    RegisterCallback("ControleScope", CtrlCallback(ControleScope));
    ConnectInstrument();
    if (HasFatalFailure()) return;
    ReadSetup(TheInstrument.session, ProgramSetup);
    CurrentChannel = 0;
    Received();
  }
  void TearDown() override {
    DiscardMainToolbar();
    SetTriggerLevelView({});
    SetCurrentLanguage(kEnglish);
    MainPanelTest::TearDown();
  }
  static void Refresh() { headless::Run(RefreshPanelFromSetup); }
  // The instrument finds no usable signal for either autoset.
  void RefuseAutoset() { sim_->SetFaults({.refuseAutoset = true}); }

  ScopedManualClock clock_;
};

}  // namespace paneltest
