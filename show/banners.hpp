// The two banners of the credits, typed at the fast pace. Generated, do not edit:
// re-make with  /usr/bin/python3 tools/banners/make_banners.py
#pragma once
#include <array>
#include <cstddef>
#include <string_view>

namespace banners {

// True when every row is non-empty, ends in its only '\n' and is as long as the first.
template <std::size_t N>
constexpr bool rows_are_even(const std::array<std::string_view, N>& rows) {
  for (std::string_view row : rows) {
    if (row.empty() || row.size() != rows[0].size() || row.find('\n') != row.size() - 1) {
      return false;
    }
  }
  return true;
}

// GOVEK in the FIGlet font lean, 53 columns.
constexpr auto programmer_banner_rows = std::to_array<std::string_view>({
    "     _/_/_/    _/_/    _/      _/  _/_/_/_/  _/    _/\n",
    "  _/        _/    _/  _/      _/  _/        _/  _/   \n",
    " _/  _/_/  _/    _/  _/      _/  _/_/_/    _/_/      \n",
    "_/    _/  _/    _/    _/  _/    _/        _/  _/     \n",
    " _/_/_/    _/_/        _/      _/_/_/_/  _/    _/    \n",
});
static_assert(programmer_banner_rows.size() == 5, "a banner has five rows");
static_assert(rows_are_even(programmer_banner_rows), "rows must share one width and end in a newline");

// Quellvorn in the FIGlet font Chunky, 53 columns.
constexpr auto artist_banner_rows = std::to_array<std::string_view>({
    " _______               __ __                         \n",
    "|       |.--.--.-----.|  |  |.--.--.-----.----.-----.\n",
    "|   -  _||  |  |  -__||  |  ||  |  |  _  |   _|     |\n",
    "|_______||_____|_____||__|__| \\___/|_____|__| |__|__|\n",
    "                                                     \n",
});
static_assert(artist_banner_rows.size() == 5, "a banner has five rows");
static_assert(rows_are_even(artist_banner_rows), "rows must share one width and end in a newline");

}  // namespace banners
