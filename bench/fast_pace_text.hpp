// The text both fast-pace benchmarks type: 2,801 printable characters in rows of 79 plus a line
// break, like a picture typed row by row (nominally 2,801 ms at 1 ms a character).
#pragma once

#include <cstddef>
#include <string>

namespace bench {

inline constexpr std::size_t fast_pace_characters = 2801;

inline std::string fast_pace_text() {
    std::string text;
    for (std::size_t i = 0; i < fast_pace_characters; ++i) {
        text.push_back(i % 80 == 79 ? '\n' : static_cast<char>('!' + i % 94));
    }
    return text;
}

}  // namespace bench
