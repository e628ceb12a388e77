// The whole program on the headless front-end with an in-process simulated
// instrument: a fresh application directory per test, start-up and quit run
// on the user-interface thread as they are in the program, and the program's
// waits on a clock that jumps to each deadline (no test sleeps).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/DefaultSetup.h"
#include "app/DriverInstall.h"
#include "app/Preferences.h"
#include "app/SetupFile.h"
#include "app/Startup.h"
#include "catalogue/MessageCatalogue.h"
#include "acquisition/MainPanelHandle.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "platform/os/Clock.h"
#include "platform/os/ProjectDir.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"
#include "support/HeadlessTestSupport.h"

namespace programtest {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    headless::Reset();
    testsupport::FailOnUnansweredQuestions();
    char pattern[] = "/tmp/orni-program-XXXXXX";
    dir_ = mkdtemp(pattern);
    fs::copy_file(ORNI_PANEL_FILE, dir_ / "ORNIKELVARINLAB.uir");
    fs::create_directories(dir_ / "rules");
    fs::copy(fs::path(ORNI_PANEL_FILE).parent_path() / "driver_USB", dir_ / "driver_USB", fs::copy_options::recursive);
    SetProjectDirOverride(dir_.string());
    UsbRulesDirectory = (dir_ / "rules").string();
    SetPackagedRulesDirectories({(dir_ / "packaged").string()});  // no package installed the rule
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    TheInstrument = InstrumentSession{};
    Panels = ProgramPanels{};
    SetCurrentLanguage(0);
    LinkBusy = 0;
    BindProgramCallbacks();
  }
  void TearDown() override {
    headless::Run([] {
      if (TheInstrument.session != 0) QuitProgram(0);
      FinishProgram();
    });
    visa::ClearInstruments();
    SetProjectDirOverride("");
    SetPackagedRulesDirectories({});
    headless::Reset();
    fs::remove_all(dir_);
  }

  // Start-up as the program runs it: on the user-interface thread.
  static int Start() {
    int status = -1;
    headless::Run([&status] { status = StartProgram(); });
    return status;
  }

  // The program running in English on a simulated `model`, first run done.
  std::shared_ptr<kvxsim::SimHandle> StartOn(int model) {
    WriteFirstRunFile("1\n0\n");
    auto sim = AddInstrument(model);
    EXPECT_EQ(Start(), 0);
    return sim;
  }

  std::shared_ptr<kvxsim::SimHandle> AddInstrument(int model, std::uint16_t selfTestFailBits = 0) {
    kvxsim::InstrumentOptions options;
    options.model = model;
    options.faults.selfTestFailBits = selfTestFailBits;
    auto sim = std::make_shared<kvxsim::SimHandle>(options);
    visa::AddInstrument(sim);
    return sim;
  }
  void WriteFirstRunFile(const std::string& text) { std::ofstream(dir_ / "setupD.7up", std::ios::binary) << text; }
  // Remembered files whose setup has the given sensitivity indexes.
  void WritePreferences(int ch1Sensitivity, int ch2Sensitivity) {
    PreferencesBlock block{};
    PlaceWindowsByDefault(block);
    const std::vector<std::uint8_t> preferences = PreferencesFileBytes(block, ReferenceData{});
    std::ofstream(dir_ / "Ornikelva.okv", std::ios::binary)
        .write(reinterpret_cast<const char*>(preferences.data()), static_cast<std::streamsize>(preferences.size()));
    InstrumentSetup setup{};
    LoadDefaultSetup(setup);
    setup.ch1VoltsPerDivIndex = static_cast<std::uint16_t>(ch1Sensitivity);
    setup.ch2VoltsPerDivIndex = static_cast<std::uint16_t>(ch2Sensitivity);
    const auto bytes = SetupFileBytes(setup);
    std::ofstream(dir_ / "Ornikelva.okv.CFG", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // What the instrument received apart from the acquisition's frame requests.
  static std::string CommandsBesidesFrames(const std::vector<std::uint8_t>& received) {
    std::string text(received.begin(), received.end());
    static const std::string kFrameRequest = "ZC:HTTP?\r";
    for (auto at = text.find(kFrameRequest); at != std::string::npos; at = text.find(kFrameRequest, at))
      text.erase(at, kFrameRequest.size());
    return text;
  }
  static bool PopupShown(const std::string& title) {
    for (const auto& popup : headless::Popups())
      if (popup.title == title) return true;
    return false;
  }
  static int MainPanelVariantMark() {
    int mark = -1;
    GetCtrlVal(MainPanelHandle.load(), MainPanel::VariantMark, &mark);
    return mark;
  }

  ScopedManualClock clock_;
  fs::path dir_;
};

}  // namespace programtest
