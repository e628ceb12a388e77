// The running program's figures against the in-process simulated instrument:
// start-up to the first drawn frame (and the waits start-up itself makes),
// sustained frames per second, the CPU it uses while acquiring, and its
// resident memory. The display draws into the toolkit model (headless); the
// Qt painting is measured by bench_graph and bench/cpu_share.sh.
//   bench_live_scope [--seconds N] [--persistence]
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ProgramHarness.h"
#include "display/DisplayState.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 30.0;
  bool persistence = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) seconds = std::stod(argv[++i]);
    else if (std::strcmp(argv[i], "--persistence") == 0) persistence = true;
  }
  benchharness::RunningProgram program;
  if (program.Start() != 0) {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  std::printf("start-up to the first drawn frame: %.3f s (start-up's own waits: %.3f s)\n",
              program.FirstFrameSeconds(), program.StartupWaits());
  PersistenceOn = persistence ? 1 : 0;
  std::this_thread::sleep_for(std::chrono::seconds(1));  // settle

  const std::uint64_t frames0 = FramesProcessed.load();
  const double cpu0 = CpuSeconds();
  const double t0 = benchharness::Now();
  std::this_thread::sleep_for(benchharness::Seconds(seconds));
  const double elapsed = benchharness::Now() - t0;
  const double frames = static_cast<double>(FramesProcessed.load() - frames0);
  const double cpu = CpuSeconds() - cpu0;
  std::printf("persistence %s, %.0f s: %.0f frames, %.2f frames/s (limit 20), CPU %.2f %% of one core, "
              "%.3f ms of CPU per frame\n",
              persistence ? "on" : "off", elapsed, frames, frames / elapsed, 100.0 * cpu / elapsed,
              frames > 0 ? 1000.0 * cpu / frames : 0.0);
  std::printf("resident memory: %.1f MB\n", benchharness::ResidentKilobytes() / 1024.0);
  program.Quit();
  return 0;
}
