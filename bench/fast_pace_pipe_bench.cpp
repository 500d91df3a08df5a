// Fast pace into a pipe or a file, for systems without a pty (Windows, under wine here): types
// 2,801 characters with prints(text, fast_pace) to standard output and reports on standard error
// the time each run took against the nominal 2,801 ms (1 ms per character). Goal: within 1% in
// every run.
//   fast_pace_pipe_bench [runs] >/dev/null     (bench/windows_timing.sh runs it under wine)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/platform.hpp"
#include "fast_pace_text.hpp"
#include "runs_argument.hpp"
#include "show/console.hpp"
#include "show/schedule.hpp"
#include "show/typewriter.hpp"

namespace {

constexpr double goal_deviation = 0.01;
constexpr int default_runs = 5;

}  // namespace

int main(int argc, char** argv) {
    const int runs = bench::runs_argument(argc, argv, default_runs);
    if (runs == 0) return 2;
    platform::begin_session();  // the show's own timer set-up, as when it runs
    const std::string text = bench::fast_pace_text();
    std::fprintf(stderr, "fast pace: %zu characters to standard output, nominal %zu ms, goal within %.0f%%\n",
                 text.size(), text.size() * fast_pace, goal_deviation * 100);
    double worst = 0.0;
    for (int run = 1; run <= runs; ++run) {
        console_restart();
        const auto start = platform::now();
        schedule_restart();
        prints(text.c_str(), fast_pace);
        const std::chrono::duration<double, std::milli> took = platform::now() - start;
        const double ratio = took.count() / static_cast<double>(text.size() * fast_pace);
        std::fprintf(stderr, "run %d: %.1f ms, actual/nominal %.5f\n", run, took.count(), ratio);
        worst = std::max(worst, std::abs(ratio - 1.0));
    }
    platform::end_session();
    const bool pass = worst <= goal_deviation;
    std::fprintf(stderr, "largest deviation from nominal %.3f%%: %s\n", worst * 100, pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
