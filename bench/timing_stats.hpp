// Figures the typing benchmarks report: the story pace's pauses as the typewriter draws them,
// how far each gap between characters strays from its pause, and percentiles.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

namespace bench {

// The pauses that prints draws at the story pace for `count` characters after
// std::srand(seed), in milliseconds. Reseeds std::rand as a side effect.
std::vector<int> draw_story_pauses(unsigned seed, std::size_t count);

// For each pair of consecutive arrivals, |gap - pause drawn for the earlier character| in
// milliseconds. Gives one figure per gap: min(arrivals.size(), pauses.size() + 1) - 1 of them.
std::vector<double> gap_errors_ms(const std::vector<std::chrono::steady_clock::time_point>& arrivals,
                                  const std::vector<int>& pauses_ms);

// The nearest-rank percentile (0 < percent <= 100) of `values`: the smallest value that at
// least `percent`% of the values do not exceed. 0 for no values.
double percentile(std::vector<double> values, double percent);

// Prints the system's load averages: timings taken on a busy machine are read with them.
void print_load_average();

}  // namespace bench
