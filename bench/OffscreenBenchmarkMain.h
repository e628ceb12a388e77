// The main of the benchmarks that paint Qt widgets: an application on the
// offscreen platform (no display needed), then the benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

inline int RunOffscreenBenchmarks(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
