#include "show/typewriter.hpp"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "show/console.hpp"
#include "show/schedule.hpp"

std::int32_t prints(const char* text, std::int32_t pace) {
    const auto length = static_cast<std::int32_t>(std::strlen(text));
    for (std::int32_t i = 0; i < length; ++i) {
        if (pace != fast_pace) {
            // Never 1, so a text typed at the story pace stays at the story pace.
            pace = std::rand() % 50 + 50;
        }
        console_write(std::string_view(text + i, 1));
        pause_ms(pace);
    }
    return length;
}

void print_at_once(const char* text) {
    console_write(text);
}
