// The whole program in this process, on the headless front-end with an
// in-process simulated instrument and the real clock: what the live-scope
// benchmark and the fault soak run. One program per process.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "acquisition/Acquisition.h"
#include "acquisition/MainPanelHandle.h"
#include "app/Startup.h"
#include "platform/os/Clock.h"
#include "platform/os/ProjectDir.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"

namespace benchharness {

namespace fs = std::filesystem;
using Seconds = std::chrono::duration<double>;

inline double Now() {
  return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The real clock, adding up the time the start-up thread spends in the
// program's own waits (Delay, the link's polls, the simulator's replies).
class WaitCountingClock final : public Clock {
 public:
  double Now() override { return benchharness::Now(); }
  void SleepUntil(double deadline) override {
    const double from = Now();
    if (std::this_thread::get_id() == counted_.load()) waited_ = waited_.load() + std::max(0.0, deadline - from);
    std::this_thread::sleep_for(Seconds(std::max(0.0, deadline - from)));
  }
  void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, double deadline) override {
    const double left = deadline - Now();
    if (left <= 0.0) return;
    // Condition waits (the simulator's replies) usually end early: not counted.
    wake.wait_for(lock, Seconds(left));
  }
  void Count(std::thread::id thread) { counted_ = thread; }
  double Waited() const { return waited_; }

 private:
  std::atomic<std::thread::id> counted_{};
  std::atomic<double> waited_{0.0};
};

// Resident memory of this process in kB (VmRSS).
inline long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

class RunningProgram {
 public:
  explicit RunningProgram(const kvxsim::InstrumentOptions& options = {}) {
    headless::Use();
    headless::Reset();
    InstallClock(&clock_);
    char pattern[] = "/tmp/orni-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    fs::copy_file(ORNI_PANEL_FILE, dir_ / "ORNIKELVARINLAB.uir");
    std::ofstream(dir_ / "setupD.7up", std::ios::binary) << "1\n0\n";
    SetProjectDirOverride(dir_.string());
    visa::EnableUsbSearch(false);
    sim_ = std::make_shared<kvxsim::SimHandle>(options);
    visa::AddInstrument(sim_);
    BindProgramCallbacks();
  }
  ~RunningProgram() {
    Quit();
    visa::ClearInstruments();
    SetProjectDirOverride("");
    headless::Reset();
    InstallClock(nullptr);
    fs::remove_all(dir_);
  }

  // Starts the program; returns StartProgram's status. Measures the time to
  // the first processed frame and the waits start-up made meanwhile.
  int Start() {
    const std::uint64_t before = FramesProcessed.load();
    const double started = Now();
    int status = -1;
    headless::Run([&] {
      clock_.Count(std::this_thread::get_id());
      status = StartProgram();
      clock_.Count({});
    });
    if (status != 0) return status;
    while (FramesProcessed.load() == before) std::this_thread::yield();
    firstFrameSeconds_ = Now() - started;
    return 0;
  }
  void Quit() {
    if (quit_) return;
    quit_ = true;
    headless::Run([] {
      if (MainPanelHandle.load() != 0) QuitProgram(0);
      FinishProgram();
    });
  }

  kvxsim::SimHandle& Sim() { return *sim_; }
  double FirstFrameSeconds() const { return firstFrameSeconds_; }
  double StartupWaits() const { return clock_.Waited(); }

 private:
  WaitCountingClock clock_;
  fs::path dir_;
  std::shared_ptr<kvxsim::SimHandle> sim_;
  double firstFrameSeconds_ = 0.0;
  bool quit_ = false;
};

}  // namespace benchharness
