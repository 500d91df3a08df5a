// Story pace on a terminal: 300 characters typed with prints(text, story_pace) to a pty. Each gap
// between two characters' arrivals must be within 1 ms of the pause drawn for the earlier one,
// at the 99th percentile.
//   build-bench/bench/story_pace_bench [seed]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pty_capture.hpp"
#include "show/console.hpp"
#include "show/schedule.hpp"
#include "show/typewriter.hpp"
#include "timing_stats.hpp"

namespace {

constexpr std::size_t character_count = 300;
constexpr double goal_p99_ms = 1.0;
constexpr unsigned default_seed = 20240607;

// 300 characters of story-like text, line breaks included.
std::string make_text() {
    const std::string sentence = "Bixo rode the unibike all the way to the secret place.\n";
    std::string text;
    while (text.size() < character_count) {
        text += sentence;
    }
    text.resize(character_count);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : default_seed;
    const std::string text = make_text();
    const std::vector<int> pauses = bench::draw_story_pauses(seed, text.size());

    bench::PtyCapture pty(text.size());
    pty.redirect_stdout();
    console_restart();
    std::srand(seed);  // the same draws again, now made by the typewriter itself
    schedule_restart();
    prints(text.c_str(), story_pace);
    pty.restore_stdout();

    std::printf("story pace: %zu characters to a pty, seed %u, goal p99 |gap - pause| <= %.1f ms\n",
                text.size(), seed, goal_p99_ms);
    bench::print_load_average();
    if (!pty.finish(text.size(), std::chrono::seconds(2)) || pty.bytes() != text) {
        std::printf("the pty received %zu of %zu characters, not the text intact: FAIL\n", pty.bytes().size(),
                    text.size());
        return 1;
    }
    const std::vector<double> errors = bench::gap_errors_ms(pty.arrivals(), pauses);
    const double p50 = bench::percentile(errors, 50);
    const double p99 = bench::percentile(errors, 99);
    const double max = bench::percentile(errors, 100);
    const bool pass = p99 <= goal_p99_ms;
    std::printf("%zu gaps: |gap - pause| p50 %.3f ms, p99 %.3f ms, max %.3f ms: %s\n", errors.size(), p50, p99, max,
                pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
