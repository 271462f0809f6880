// Pairs of benchmarks whose figures are reported as a ratio: the benchmark's
// items per second over its baseline's, both measured in the same run.
#pragma once

namespace bench {

// Registers a pair; main prints every ratio after all benchmarks ran.
bool compare_with_baseline(const char* benchmark, const char* baseline);

}  // namespace bench
