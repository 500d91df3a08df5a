#include "show/schedule.hpp"

#include <chrono>
#include <optional>

#include "platform/platform.hpp"
#include "show/session.hpp"

namespace {

using platform::Clock;

// The end of the previous pause, or the schedule's start.
std::optional<Clock::time_point> last_deadline;

}  // namespace

void schedule_restart() {
    last_deadline = platform::now();
}

void pause_ms(int milliseconds) {
    const Clock::time_point deadline = last_deadline.value_or(platform::now()) + std::chrono::milliseconds(milliseconds);
    last_deadline = deadline;
    for (;;) {
        end_show_if_asked();
        if (platform::now() >= deadline) {
            break;
        }
        platform::sleep_until(deadline);
    }
    const Clock::time_point woke = platform::now();
    if (woke - deadline > std::chrono::milliseconds(stall_tolerance_ms)) {
        last_deadline = woke;
    }
}
