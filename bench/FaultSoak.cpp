// Link faults of every kind injected into the running program (in-process,
// headless, real clock) against the simulated instrument: dropped, stalled,
// truncated and corrupted replies, an oversized length and a pulled cable.
// For each fault: the time from the fault to polling at full rate again, a
// hang if frames do not come back, and whether the setup record (the
// program's and the instrument's) changed.
//   bench_fault_soak [--faults N]
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ProgramHarness.h"
#include "link/InstrumentSetup.h"

namespace {

using benchharness::Now;

struct FaultKind {
  const char* name;
  void (*apply)(kvxsim::Faults&);
};
constexpr std::array<FaultKind, 6> kKinds = {{
    {"dropped", [](kvxsim::Faults& f) { f.dropReplies = 1; }},
    {"stalled", [](kvxsim::Faults& f) { f.stallReplies = 1; }},
    {"truncated", [](kvxsim::Faults& f) { f.truncateBlocks = 1; }},
    {"corrupted", [](kvxsim::Faults& f) { f.corruptPrefix = 1; }},
    {"oversized", [](kvxsim::Faults& f) { f.oversizeBlocks = 1; }},
    {"pulled cable", [](kvxsim::Faults& f) { f.disconnectAfterReplies = 0; }},
}};

constexpr double kFullRateGap = 0.100;  // frames at most this far apart: full rate (the cycle is ~50 ms)
constexpr int kFullRateRun = 5;         // that many in a row
constexpr double kHangLimit = 15.0;     // no return to full rate within this: a hang

// Watches the frame counter; returns when `kFullRateRun` frames have come
// with gaps of at most kFullRateGap, giving the time of the first of them,
// or a negative value after `limit` seconds.
double WaitForFullRate(double limit) {
  const double giveUp = Now() + limit;
  std::uint64_t last = FramesProcessed.load();
  double runStart = -1.0, lastAt = Now();
  int run = 0;
  while (Now() < giveUp) {
    const std::uint64_t frames = FramesProcessed.load();
    if (frames != last) {
      const double at = Now();
      if (at - lastAt > kFullRateGap) run = 0;
      if (run == 0) runStart = at;
      run += static_cast<int>(frames - last);
      last = frames;
      lastAt = at;
      if (run >= kFullRateRun) return runStart;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return -1.0;
}

}  // namespace

int main(int argc, char** argv) {
  int faults = 200;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--faults") == 0 && i + 1 < argc) faults = std::stoi(argv[++i]);

  kvxsim::InstrumentOptions options;
  options.faults.stallMs = 1500;  // past the frame's 500 ms timeout
  benchharness::RunningProgram program(options);
  if (program.Start() != 0) {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  if (WaitForFullRate(5.0) < 0) {
    std::fprintf(stderr, "no full rate before the first fault\n");
    return 1;
  }
  const InstrumentSetup programSetup = SnapshotProgramSetup();
  const auto instrumentSetup = program.Sim().SetupRecord();

  std::vector<double> back;
  int hangs = 0, setupChanges = 0;
  std::array<double, kKinds.size()> longestByKind{};
  for (int i = 0; i < faults; ++i) {
    const FaultKind& kind = kKinds[static_cast<std::size_t>(i) % kKinds.size()];
    kvxsim::Faults fault;
    fault.stallMs = options.faults.stallMs;
    kind.apply(fault);
    const double injected = Now();
    program.Sim().SetFaults(fault);
    // Skip the frames still on their way, then wait for the outage to end.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const double fullAgain = WaitForFullRate(kHangLimit);
    if (fullAgain < 0) {
      ++hangs;
      std::printf("fault %d (%s): no full rate within %.0f s\n", i, kind.name, kHangLimit);
      break;
    }
    const double seconds = fullAgain - injected;
    back.push_back(seconds);
    double& longest = longestByKind[static_cast<std::size_t>(i) % kKinds.size()];
    longest = std::max(longest, seconds);
    const InstrumentSetup now = SnapshotProgramSetup();
    if (std::memcmp(&now, &programSetup, sizeof now) != 0 || program.Sim().SetupRecord() != instrumentSetup) {
      ++setupChanges;
      std::printf("fault %d (%s): the setup record changed\n", i, kind.name);
    }
  }
  program.Quit();

  std::sort(back.begin(), back.end());
  const double median = back.empty() ? 0.0 : back[back.size() / 2];
  std::printf("faults injected: %zu of %d; hangs: %d; crashes: 0 (this process is still here)\n", back.size(),
              faults, hangs);
  std::printf("time back to full rate: median %.2f s, longest %.2f s\n", median,
              back.empty() ? 0.0 : back.back());
  for (std::size_t k = 0; k < kKinds.size(); ++k)
    std::printf("  longest after a %s reply/link: %.2f s\n", kKinds[k].name, longestByKind[k]);
  std::printf("setup record changed by a fault: %d times\n", setupChanges);
  return hangs == 0 && setupChanges == 0 ? 0 : 1;
}
