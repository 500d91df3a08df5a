#include "timing_stats.hpp"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace bench {

std::vector<int> draw_story_pauses(unsigned seed, std::size_t count) {
    std::srand(seed);
    std::vector<int> pauses(count);
    for (int& pause : pauses) {
        pause = std::rand() % 50 + 50;  // the typewriter's story pace, one draw per character
    }
    return pauses;
}

std::vector<double> gap_errors_ms(const std::vector<std::chrono::steady_clock::time_point>& arrivals,
                                  const std::vector<int>& pauses_ms) {
    std::vector<double> errors;
    for (std::size_t i = 0; i + 1 < arrivals.size() && i < pauses_ms.size(); ++i) {
        const std::chrono::duration<double, std::milli> gap = arrivals[i + 1] - arrivals[i];
        errors.push_back(std::abs(gap.count() - pauses_ms[i]));
    }
    return errors;
}

double percentile(std::vector<double> values, double percent) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    // Rank ceil(p/100 * n), counted from 1; the small epsilon keeps 99% of 100 at rank 99.
    const double rank = std::ceil(percent / 100.0 * static_cast<double>(values.size()) - 1e-9);
    const auto index = static_cast<std::size_t>(std::clamp(rank, 1.0, static_cast<double>(values.size()))) - 1;
    return values[index];
}

void print_load_average() {
    double load[3] = {};
    if (getloadavg(load, 3) == 3) {
        std::printf("load average: %.2f %.2f %.2f on %ld cores\n", load[0], load[1], load[2],
                    sysconf(_SC_NPROCESSORS_ONLN));
    }
}

}  // namespace bench
