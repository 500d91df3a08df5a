#include "show/typewriter.hpp"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "show/console.hpp"
#include "show/schedule.hpp"

namespace {

std::int32_t type_text(const char* text, std::int32_t pace, void (*write)(std::string_view)) {
    const auto length = static_cast<std::int32_t>(std::strlen(text));
    for (std::int32_t i = 0; i < length; ++i) {
        if (pace != fast_pace) {
            // Never 1, so a text typed at the story pace stays at the story pace.
            pace = std::rand() % 50 + 50;
        }
        write(std::string_view(text + i, 1));
        pause_ms(pace);
    }
    return length;
}

}  // namespace

std::int32_t prints(const char* text, std::int32_t pace) {
    return type_text(text, pace, console_write);
}

void type_picture_row(const char* row) {
    type_text(row, fast_pace, console_write_picture);
}

void print_at_once(const char* text) {
    console_write(text);
}
