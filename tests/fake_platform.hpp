// A fake platform with a virtual clock, for running the show at full speed. Everything the show
// does is logged in order as events (fake_sound.cpp logs the music calls there too).
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.hpp"

namespace fake_platform {

using platform::Clock;
using std::chrono::milliseconds;

struct Event {
    enum class Kind { write, sleep, sound, key_wait, terminal_restored };
    Kind kind;
    std::string text;              // write: the bytes; sound: the call
    Clock::duration slept{};       // sleep: how long the show asked to sleep
};

// Thrown by exit_by_signal, so a test sees the show end instead of the process.
struct ShowEnded {
    int signal;
};

struct Settings {
    int columns = 0;                         // output_columns(): 0 means no terminal
    Clock::duration write_cost{};            // virtual time each write takes
    Clock::duration sleep_overshoot{};       // virtual time each sleep wakes up late
    std::size_t stall_at_write = 0;          // 1-based write after which the clock jumps (0: never)
    Clock::duration stall{};                 // how far it jumps
    std::size_t stop_at_write = 0;           // 1-based write after which a stop is requested
    Clock::time_point stop_at_time = Clock::time_point::max();  // or: a signal arrives at this time
    int stop_signal = 2;                     // the signal requested
    bool blocking_calls_overrun = false;     // run_with_time_limit: every call returns too late
};

inline const Clock::time_point start_time = Clock::time_point(std::chrono::hours(1000));

extern Settings settings;
extern std::vector<Event> events;
extern Clock::time_point virtual_now;

// Back to a fresh start: no events, the clock at start_time, default settings.
void reset();

// All bytes written, in order.
std::string output();

}  // namespace fake_platform
