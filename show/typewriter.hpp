// The typewriter: texts appear one character at a time, with a pause after each.
#pragma once

#include <cstdint>
#include <string_view>

// Paces for prints. The fast pace waits 1 ms after each character; any other value is the
// story pace, which draws a fresh pause of 50 to 99 ms for every character.
inline constexpr std::int32_t fast_pace = 1;
inline constexpr std::int32_t story_pace = 0;

// Types the zero-terminated `text` at `pace` and returns its length. Each character is on
// the screen before its pause begins; the last character is followed by a pause too.
std::int32_t prints(const char* text, std::int32_t pace);

// Writes `text` at once, untyped.
void print_at_once(const char* text);

// Types the zero-terminated picture row `row` at the fast pace, as prints would. On a narrow
// terminal the part beyond its right edge is left out, each of its characters still paused for.
void type_picture_row(const char* row);

// Types each picture row of `rows`, one after another. The rows are views of string literals,
// so each one ends at its literal's terminating zero.
template <typename Rows>
void type_rows(const Rows& rows) {
    for (std::string_view row : rows) {
        type_picture_row(row.data());
    }
}
