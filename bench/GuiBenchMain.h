#pragma once

// The main of a benchmark program that draws: the offscreen platform unless
// another is asked for, an application object of the given kind, then the
// benchmarks named on the command line.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QtGlobal>

template <typename Application = QGuiApplication>
int runGuiBenchmarks(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  Application app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
