// Fast pace on a terminal: 2,801 characters typed with prints(text, fast_pace) to a pty must
// take at most 1.002 times their nominal 2,801 ms (1 ms per character), in every run.
//   build-bench/bench/fast_pace_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "pty_capture.hpp"
#include "fast_pace_text.hpp"
#include "runs_argument.hpp"
#include "show/console.hpp"
#include "show/schedule.hpp"
#include "show/typewriter.hpp"
#include "timing_stats.hpp"

namespace {

constexpr double goal_ratio = 1.002;
constexpr int default_runs = 5;

// Types `text` once into a fresh pty and returns the time prints took over the nominal time,
// or a negative value when the pty did not receive every character.
double run_once(const std::string& text) {
    bench::PtyCapture pty(text.size());
    pty.redirect_stdout();
    console_restart();
    const bench::Clock::time_point start = bench::Clock::now();
    schedule_restart();
    prints(text.c_str(), fast_pace);
    const bench::Clock::time_point end = bench::Clock::now();
    pty.restore_stdout();
    if (!pty.finish(text.size(), std::chrono::seconds(2)) || pty.bytes() != text) {
        return -1.0;
    }
    const std::chrono::duration<double, std::milli> actual = end - start;
    return actual.count() / static_cast<double>(text.size() * fast_pace);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = bench::runs_argument(argc, argv, default_runs);
    if (runs == 0) return 2;
    const std::string text = bench::fast_pace_text();
    std::printf("fast pace: %zu characters to a pty, nominal %zu ms, goal actual/nominal <= %.3f\n",
                text.size(), text.size() * fast_pace, goal_ratio);
    bench::print_load_average();
    double worst = 0.0;
    bool complete = true;
    for (int run = 1; run <= runs; ++run) {
        const double ratio = run_once(text);
        if (ratio < 0) {
            std::printf("run %d: the pty did not receive the text intact\n", run);
            complete = false;
            continue;
        }
        std::printf("run %d: %.1f ms, actual/nominal %.5f\n", run, ratio * static_cast<double>(text.size()), ratio);
        worst = std::max(worst, ratio);
    }
    const bool pass = complete && worst <= goal_ratio;
    std::printf("worst actual/nominal %.5f: %s\n", worst, pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
