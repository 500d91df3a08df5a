// The two credits banners: their layout and the shapes their fonts give them.
#include "show/banners.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

namespace {

using Rows = std::array<std::string_view, 5>;
using Span = std::pair<std::size_t, std::size_t>;  // first and last column, both included

constexpr std::size_t banner_width = 53;  // columns drawn, without the '\n'
constexpr std::string_view programmer_handle = "GOVEK";
constexpr std::string_view artist_handle = "Quellvorn";

// Returns the row without its line end.
std::string_view drawn(std::string_view row) { return row.substr(0, row.size() - 1); }

bool is_blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// Returns lean's rows stood upright: row r moved r columns right, undoing the font's slant.
std::vector<std::string> upright(const Rows& rows) {
  std::vector<std::string> result;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    result.push_back(std::string(r, ' ') + std::string(drawn(rows[r])) + std::string(rows.size() - 1 - r, ' '));
  }
  return result;
}

// Returns the column spans of `rows` that are set apart by columns blank in every row.
std::vector<Span> glyph_spans(const std::vector<std::string>& rows) {
  std::vector<Span> spans;
  bool inside = false;
  for (std::size_t c = 0; c < rows[0].size(); ++c) {
    bool blank_column = true;
    for (const std::string& row : rows) blank_column = blank_column && row[c] == ' ';
    if (!blank_column && !inside) spans.push_back({c, c});
    if (!blank_column) spans.back().second = c;
    inside = !blank_column;
  }
  return spans;
}

// Returns the first non-blank column of `row` within `span`, or npos.
std::size_t leftmost_in(const std::string& row, Span span) {
  std::size_t column = row.find_first_not_of(' ', span.first);
  return column <= span.second ? column : std::string::npos;
}

// ---------------------------------------------------------------------------------------------
// Both banners
// ---------------------------------------------------------------------------------------------

TEST(BannerLayout, FiveRowsOfFiftyThreeColumnsWithNoBlankColumnAtEitherEdge) {
  for (const Rows* rows : {&banners::programmer_banner_rows, &banners::artist_banner_rows}) {
    bool first_column_used = false;
    bool last_column_used = false;
    for (std::string_view row : *rows) {
      ASSERT_EQ(row.size(), banner_width + 1) << row;
      EXPECT_EQ(row.find('\n'), banner_width) << "one line end, at the end: " << row;
      first_column_used = first_column_used || row.front() != ' ';
      last_column_used = last_column_used || row[banner_width - 1] != ' ';
    }
    EXPECT_TRUE(first_column_used) << "a blank column on the left of\n" << (*rows)[0];
    EXPECT_TRUE(last_column_used) << "padding beyond the widest row of\n" << (*rows)[0];
  }
}

// ---------------------------------------------------------------------------------------------
// GOVEK in lean
// ---------------------------------------------------------------------------------------------

TEST(BannerLean, DrawsOnlyUnderscoreSlashStrokes) {
  for (std::string_view row : banners::programmer_banner_rows) {
    std::string_view picture = drawn(row);
    EXPECT_EQ(picture.find_first_not_of(" _/"), std::string_view::npos) << row;
    for (std::size_t c = 0; c < picture.size(); ++c) {
      // Every stroke is the pair "_/": no lone underscore, no lone slash.
      if (picture[c] == '_') {
        EXPECT_TRUE(c + 1 < picture.size() && picture[c + 1] == '/') << row;
      }
      if (picture[c] == '/') {
        EXPECT_TRUE(c > 0 && picture[c - 1] == '_') << row;
      }
    }
  }
}

TEST(BannerLean, EachRowStartsOneColumnLeftOfTheRowAbove) {
  const Rows& rows = banners::programmer_banner_rows;
  // The strokes sit on a grid two columns wide that moves one column left per row.
  const std::size_t parity = rows[0].find('_') % 2;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = rows[r].find('_'); c != std::string_view::npos; c = rows[r].find('_', c + 1)) {
      EXPECT_EQ((c + r) % 2, parity) << "stroke off the slanted grid at row " << r + 1 << ", column " << c;
    }
  }

  // Stood upright, the banner falls apart into one glyph per letter, and the straight left
  // stems stand in one column.
  const std::vector<std::string> standing = upright(rows);
  const std::vector<Span> glyphs = glyph_spans(standing);
  ASSERT_EQ(glyphs.size(), programmer_handle.size());
  // E and K have a stem from top to bottom.
  for (std::size_t letter : {programmer_handle.find('E'), programmer_handle.find('K')}) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
      EXPECT_EQ(leftmost_in(standing[r], glyphs[letter]), glyphs[letter].first)
          << programmer_handle[letter] << " row " << r + 1;
    }
  }
  // G, the leftmost glyph, is round: its rows 2 to 4 share a stem, its top and bottom curve in.
  const Span g = glyphs[0];
  for (std::size_t r = 1; r <= 3; ++r) EXPECT_EQ(leftmost_in(standing[r], g), g.first) << "G row " << r + 1;
  EXPECT_GT(leftmost_in(standing[0], g), g.first);
  EXPECT_GT(leftmost_in(standing[4], g), g.first);
}

// ---------------------------------------------------------------------------------------------
// Quellvorn in Chunky
// ---------------------------------------------------------------------------------------------

TEST(BannerChunky, DrawsWithBarsUnderscoresDotsDashesAndTheSlashesOfV) {
  std::string used;
  for (std::string_view row : banners::artist_banner_rows) {
    EXPECT_EQ(drawn(row).find_first_not_of(" |_.-\\/"), std::string_view::npos) << row;
    used += drawn(row);
  }
  for (char stroke : std::string_view("|_.-\\/")) {
    EXPECT_NE(used.find(stroke), std::string::npos) << "no '" << stroke << "' drawn";
  }
}

TEST(BannerChunky, TopRowHoldsOnlyTheTopsOfCapitalAndTallLetters) {
  const std::string_view top = drawn(banners::artist_banner_rows[0]);
  const std::string_view body = drawn(banners::artist_banner_rows[1]);
  EXPECT_EQ(top.find_first_not_of(" _"), std::string_view::npos) << top;

  // Each top is a run of '_' closing a box whose sides stand in row 2.
  std::size_t tops = 0;
  for (std::size_t c = top.find('_'); c != std::string_view::npos; c = top.find('_', c)) {
    const std::size_t end = std::min(top.find(' ', c), top.size());
    ++tops;
    ASSERT_GT(c, 0u);
    ASSERT_LT(end, body.size());
    EXPECT_EQ(body[c - 1], '|') << "top at column " << c;
    EXPECT_EQ(body[end], '|') << "top at column " << c;
    EXPECT_TRUE(is_blank(body.substr(c, end - c))) << "top at column " << c;
    c = end;
  }
  std::size_t tall_letters = 0;
  for (char letter : artist_handle) {
    if (std::isupper(static_cast<unsigned char>(letter)) || std::string_view("bdfhklt").find(letter) != std::string_view::npos) {
      ++tall_letters;
    }
  }
  EXPECT_EQ(tops, tall_letters);
}

TEST(BannerChunky, BodiesFillRowsTwoToFourAndOnlyDescendersReachRowFive) {
  const Rows& rows = banners::artist_banner_rows;
  for (std::size_t r = 1; r <= 3; ++r) {
    EXPECT_NE(rows[r].front(), ' ') << "row " << r + 1;
    EXPECT_NE(rows[r][banner_width - 1], ' ') << "row " << r + 1;
  }
  const bool has_descender = artist_handle.find_first_of("gjpqy") != std::string_view::npos;
  EXPECT_EQ(is_blank(drawn(rows[4])), !has_descender) << rows[4];
}

}  // namespace
