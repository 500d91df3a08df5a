// How quickly the audio back-end stops while the soundtrack plays on SDL's dummy driver: a pause
// (the quick exit's only sound call) and a full shut-down. Each run starts the back-end, plays
// for a varying while, then times BASS_ChannelPause; resumes, plays on and times BASS_Free.
//   build-bench/bench/backend_stop_bench [runs]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "sound/audio_backend.hpp"
#include "runs_argument.hpp"
#include "timing_stats.hpp"

namespace {

constexpr double pause_goal_ms = 5.0;
constexpr double free_goal_ms = 100.0;
constexpr int default_runs = 20;

using Clock = std::chrono::steady_clock;

template <typename Call>
double time_ms(Call call) {
    const auto start = Clock::now();
    call();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* what, const std::vector<double>& times, double goal_ms, bool& pass) {
    const double worst = bench::percentile(times, 100);
    std::printf("%-6s p50 %.3f ms, p90 %.3f ms, max %.3f ms (goal: max <= %.0f ms)\n", what,
                bench::percentile(times, 50), bench::percentile(times, 90), worst, goal_ms);
    pass = pass && worst <= goal_ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = bench::runs_argument(argc, argv, default_runs);
    if (runs == 0) return 2;
    bench::print_load_average();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::mt19937 generator(20240612);
    std::uniform_int_distribution<int> playing_ms(100, 300);  // lands anywhere in a buffer's cycle
    std::vector<double> pauses;
    std::vector<double> frees;
    for (int run = 0; run < runs; ++run) {
        if (BASS_Init(1, 44100, 0, nullptr, nullptr) == 0) {
            std::printf("BASS_Init failed: error %d\n", BASS_ErrorGetCode());
            return 1;
        }
        const HSTREAM stream = BASS_StreamCreateFile(0, BIXO_MUSIC_FILE, 0, 0, BASS_MP3_SETPOS);
        if (stream == 0 || BASS_ChannelPlay(stream, 1) == 0) {
            std::printf("%s does not play: error %d\n", BIXO_MUSIC_FILE, BASS_ErrorGetCode());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(playing_ms(generator)));
        pauses.push_back(time_ms([&] { BASS_ChannelPause(stream); }));
        BASS_ChannelPlay(stream, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(playing_ms(generator)));
        frees.push_back(time_ms([] { BASS_Free(); }));
    }
    std::printf("%d runs while the music plays:\n", runs);
    bool pass = true;
    report("pause", pauses, pause_goal_ms, pass);
    report("free", frees, free_goal_ms, pass);
    std::printf("%s\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
