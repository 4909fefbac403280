// Runs the benchmarks, then prints each hot path's time against its floor and
// the goal for that ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/ratios.h"

namespace {

// Console output as usual, and the mean real time of each run kept by name.
class KeepingReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      if (run.run_type == Run::RT_Aggregate) continue;
      std::string name = run.run_name.str();
      bench::Result& result = bench::results()[name];
      result.seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
      for (const auto& [key, counter] : run.counters) result.counters[key] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  KeepingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  bench::print_ratios();
  return 0;
}
