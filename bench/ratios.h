// What the benchmarks measured, kept by name, and the table of ratios against
// the floors printed after the run.
#pragma once

#include <map>
#include <string>

namespace bench {

struct Result {
  double seconds = 0;  // real time per iteration
  std::map<std::string, double> counters;
};

std::map<std::string, Result>& results();
void print_ratios();

}  // namespace bench
