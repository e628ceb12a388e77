// A channel's full record from the fetched block to the written text file:
// 50,000 lines decoded, formatted and written in one atomic replace. The
// formatting alone is timed too, to tell it from the file system's share.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "link/InstrumentSession.h"
#include "link/TraceExport.h"

namespace {

void PutBigEndian(std::vector<std::uint8_t>& file, std::size_t at, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i, value >>= 8) file[at + static_cast<std::size_t>(i)] = value & 0xFF;
}

// A 1 kHz sine at 100 us/div, 1 V/div, probe 10, a little off centre: lines
// as long as a live trace gives.
std::vector<std::uint8_t> SineTraceFile() {
  std::vector<std::uint8_t> file(kTraceExportBufferSize, 0);
  PutBigEndian(file, 2, 15, 2);
  PutBigEndian(file, 4, std::bit_cast<std::uint32_t>(10.0f), 4);
  PutBigEndian(file, 12, std::bit_cast<std::uint64_t>(5.0), 8);
  PutBigEndian(file, 22, 8, 2);
  file[30] = 'V';
  for (int k = 0; k < tracefile::kPoints; ++k) {
    const double code = tracefile::kCentreCode + 150.0 * std::sin(2.0 * std::numbers::pi * k / 50000.0);
    PutBigEndian(file, tracefile::kCodesAt + 2 * static_cast<std::size_t>(k), static_cast<std::uint16_t>(code), 2);
  }
  return file;
}

void BM_TraceTextFormatting(benchmark::State& state) {
  const std::vector<std::uint8_t> file = SineTraceFile();
  const VoltsPerDivValues volts = VoltsPerDivTableFor(162);
  for (auto _ : state) benchmark::DoNotOptimize(TraceText(file, volts));
}
BENCHMARK(BM_TraceTextFormatting)->Unit(benchmark::kMillisecond);

void BM_TraceFileWritten(benchmark::State& state) {
  const std::vector<std::uint8_t> file = SineTraceFile();
  const VoltsPerDivValues volts = VoltsPerDivTableFor(162);
  char pattern[] = "/tmp/orni-bench-XXXXXX";
  const std::filesystem::path dir = mkdtemp(pattern);
  const std::string path = (dir / "trace.txt").string();
  for (auto _ : state)
    if (WriteTraceText(file, volts, path) != TraceExportResult::Written) state.SkipWithError("not written");
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TraceFileWritten)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
