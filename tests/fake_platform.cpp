#include "fake_platform.hpp"

#include <algorithm>


namespace fake_platform {

Settings settings;
std::vector<Event> events;
Clock::time_point virtual_now = start_time;

namespace {

std::size_t writes = 0;
int pending_stop = 0;

}  // namespace

void reset() {
    settings = Settings{};
    events.clear();
    virtual_now = start_time;
    writes = 0;
    pending_stop = 0;
}

std::string output() {
    std::string bytes;
    for (const Event& event : events) {
        if (event.kind == Event::Kind::write) {
            bytes += event.text;
        }
    }
    return bytes;
}

}  // namespace fake_platform

using fake_platform::virtual_now;
using fake_platform::Event;
using fake_platform::events;
using fake_platform::settings;

// ---- The platform ---------------------------------------------------------------------------

namespace platform {

Clock::time_point now() {
    return virtual_now;
}

void sleep_until(Clock::time_point deadline) {
    events.push_back({Event::Kind::sleep, "", deadline - virtual_now});
    if (settings.stop_at_time <= deadline) {
        virtual_now = std::max(virtual_now, settings.stop_at_time);
        fake_platform::pending_stop = settings.stop_signal;
        return;
    }
    virtual_now = deadline + settings.sleep_overshoot;
}

bool write_output(std::string_view bytes) {
    if (bytes.empty()) {
        return true;
    }
    events.push_back({Event::Kind::write, std::string(bytes), {}});
    virtual_now += settings.write_cost;
    ++fake_platform::writes;
    if (fake_platform::writes == settings.stall_at_write) {
        virtual_now += settings.stall;
    }
    if (fake_platform::writes == settings.stop_at_write) {
        fake_platform::pending_stop = settings.stop_signal;
    }
    return true;
}

int output_columns() {
    return settings.columns;
}

void begin_session() {}
void end_session() {
    events.push_back({Event::Kind::terminal_restored, "", {}});
}

int stop_request() {
    return fake_platform::pending_stop;
}

void exit_by_signal(int signal) {
    throw fake_platform::ShowEnded{signal};
}

// A call that overruns its limit still returns in the end, so its late clean-up runs too.
bool run_with_time_limit(std::function<void()> work, std::function<void()> if_late, Clock::duration limit) {
    work();
    if (!settings.blocking_calls_overrun) {
        return true;
    }
    virtual_now += limit;
    if_late();
    return false;
}

void wait_for_key() {
    events.push_back({Event::Kind::key_wait, "", {}});
}

}  // namespace platform
