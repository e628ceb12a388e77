// The whole program for many frames on the in-process simulated instrument,
// watching its resident memory. The display draws every frame into the
// toolkit model (the headless front-end), the real code path from the
// exchange to the plotted traces. The acquisition cycle's 50 ms pause and
// the simulator's reply times run on a clock that jumps to each deadline,
// so 100,000 frames (83 minutes at 20 frames/s) take minutes.
//   bench_long_run [--frames N] [--every N] [--persistence]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "ProgramHarness.h"
#include "display/DisplayState.h"

namespace {

constexpr std::uint64_t kFirstMinuteFrames = 1200;  // one minute at 20 frames/s
constexpr long kGrowthAimKilobytes = 1024;

struct Options {
  std::uint64_t frames = 100000;
  std::uint64_t every = 10000;
  bool persistence = false;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--frames") == 0 && hasValue) options.frames = std::stoull(argv[++i]);
    else if (std::strcmp(argv[i], "--every") == 0 && hasValue) options.every = std::stoull(argv[++i]);
    else if (std::strcmp(argv[i], "--persistence") == 0) options.persistence = true;
  }
  if (options.every == 0) options.every = options.frames;
  return options;
}

// Returns once the program has processed `count` frames since `start`. The
// simulator keeps every byte the program sent it (9 per frame request) for
// tests to read: that record is the instrument's, not the program's, so it is
// emptied as the run goes.
void WaitForFrames(kvxsim::SimHandle& sim, std::uint64_t start, std::uint64_t count) {
  while (FramesProcessed.load() - start < count) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sim.TakeReceived();
  }
}

void PrintRow(std::uint64_t frames, double wallSeconds, long residentKb, long baselineKb) {
  std::printf("%9llu  %8.1f  %8.1f  %10.1f  %+9ld\n", static_cast<unsigned long long>(frames),
              static_cast<double>(frames) / 20.0 / 60.0, wallSeconds, residentKb / 1024.0, residentKb - baselineKb);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  ManualClock clock;  // outlives the program, whose teardown still waits on it
  benchharness::RunningProgram program;
  InstallClock(&clock);
  if (program.Start() != 0) {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  PersistenceOn = options.persistence ? 1 : 0;
  const std::uint64_t start = FramesProcessed.load();
  const double t0 = benchharness::Now();
  const std::uint64_t firstMinute = std::min(kFirstMinuteFrames, options.frames);
  WaitForFrames(program.Sim(), start, firstMinute);
  const long baselineKb = benchharness::ResidentKilobytes();
  std::printf("persistence %s; resident memory after %llu frames (the first minute at 20 frames/s): %.1f MB\n",
              options.persistence ? "on" : "off", static_cast<unsigned long long>(firstMinute), baselineKb / 1024.0);
  std::printf("   frames  minutes*   wall s  resident MB  growth kB   (* at 20 frames/s)\n");
  long residentKb = baselineKb;
  for (std::uint64_t mark = options.every; mark <= options.frames; mark += options.every) {
    WaitForFrames(program.Sim(), start, mark);
    residentKb = benchharness::ResidentKilobytes();
    PrintRow(mark, benchharness::Now() - t0, residentKb, baselineKb);
  }
  const double wall = benchharness::Now() - t0;
  program.Quit();
  const long growth = residentKb - baselineKb;
  std::printf("%llu frames in %.1f s (%.0f frames/s); growth after the first minute: %ld kB (aim <= %ld kB): %s\n",
              static_cast<unsigned long long>(options.frames), wall, static_cast<double>(options.frames) / wall,
              growth, kGrowthAimKilobytes, growth <= kGrowthAimKilobytes ? "met" : "MISSED");
  return 0;
}
