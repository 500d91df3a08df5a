// The three pictures keep the layout the show depends on: the density ramp, the columns their
// ink keeps to, the label, the repeated rows and the unibrow. Row counts, widths and the one
// line break are the header's own static_asserts.
#include "show/picture_rows.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using pictures::horse1_rows;
using pictures::horse2_rows;
using pictures::unibike_rows;

// The density ramp, light to heavy; a blank is no ink.
constexpr std::string_view ramp = "`.-:/+osyhdmNM";
constexpr std::string_view label = "B I X O";
constexpr std::size_t label_row = 18;     // counted from 1, like the columns
constexpr std::size_t label_column = 43;

struct Picture {
    const char* name;
    std::vector<std::string_view> rows;
};

// All three pictures, for the checks that hold for each of them.
std::vector<Picture> all_pictures() {
    return {{"horse1", {horse1_rows.begin(), horse1_rows.end()}},
            {"horse2", {horse2_rows.begin(), horse2_rows.end()}},
            {"unibike", {unibike_rows.begin(), unibike_rows.end()}}};
}

// Returns the row's cells: its text without a closing line break.
std::string_view cells(std::string_view row) {
    if (!row.empty() && row.back() == '\n') row.remove_suffix(1);
    return row;
}

// Returns the character at a column counted from 1.
char at(std::string_view row, std::size_t column) { return cells(row).at(column - 1); }

bool is_heavy(char c) { return c == 'N' || c == 'M'; }

// The ramp's heavy end, of which the face's brow is made.
bool is_dense(char c) { return std::string_view("hdmNM").find(c) != std::string_view::npos; }

// Returns the first and last column (from 1) that hold anything but a blank, over all rows.
std::pair<std::size_t, std::size_t> ink_columns(const std::vector<std::string_view>& rows) {
    std::size_t first = 1000, last = 0;
    for (std::string_view row : rows) {
        const std::string_view text = cells(row);
        const std::size_t left = text.find_first_not_of(' ');
        if (left == std::string_view::npos) continue;
        first = std::min(first, left + 1);
        last = std::max(last, text.find_last_not_of(' ') + 1);
    }
    return {first, last};
}

// Returns how many heavy glyphs the row holds.
std::size_t heavy_count(std::string_view row) {
    return static_cast<std::size_t>(std::count_if(row.begin(), row.end(), is_heavy));
}

// Returns how many of the ramp's heavy-end glyphs the row holds.
std::size_t dense_count(std::string_view row) {
    return static_cast<std::size_t>(std::count_if(row.begin(), row.end(), is_dense));
}

// True when the label is what stands at this cell of picture 1.
bool in_label(std::size_t row, std::size_t column) {
    return row == label_row && column >= label_column && column < label_column + label.size();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// What every picture shares

TEST(PictureLayout, InkStaysInsideEachPicturesColumns) {
    // Within the columns, not necessarily touching both ends.
    const std::pair<std::size_t, std::size_t> allowed[] = {{11, 79}, {16, 80}, {1, 80}};
    const std::vector<Picture> pictures = all_pictures();
    for (std::size_t p = 0; p < pictures.size(); ++p) {
        const auto [first, last] = ink_columns(pictures[p].rows);
        EXPECT_GE(first, allowed[p].first) << pictures[p].name;
        EXPECT_LE(last, allowed[p].second) << pictures[p].name;
    }
}

TEST(PictureGlyphs, OnlyRampGlyphsAndBlanksOutsideTheLabel) {
    for (const Picture& picture : all_pictures()) {
        const bool labelled = std::string_view(picture.name) == "horse1";
        for (std::size_t r = 1; r <= picture.rows.size(); ++r) {
            const std::string_view text = cells(picture.rows[r - 1]);
            for (std::size_t c = 1; c <= text.size(); ++c) {
                if (labelled && in_label(r, c)) continue;
                const char glyph = text[c - 1];
                EXPECT_TRUE(glyph == ' ' || ramp.find(glyph) != std::string_view::npos)
                    << picture.name << " row " << r << " column " << c << ": '" << glyph << "'";
            }
        }
    }
}

TEST(PictureGlyphs, UnicornNeverUsesTheHeaviestGlyph) {
    for (std::string_view row : horse1_rows) {
        EXPECT_EQ(row.find('M'), std::string_view::npos) << row;
    }
}

TEST(PictureGlyphs, SolidPicturesUseBothHeavyGlyphs) {
    for (const Picture& picture : all_pictures()) {
        if (std::string_view(picture.name) == "horse1") continue;
        std::string all;
        for (std::string_view row : picture.rows) all += row;
        EXPECT_NE(all.find('N'), std::string::npos) << picture.name;
        EXPECT_NE(all.find('M'), std::string::npos) << picture.name;
    }
}

// ---------------------------------------------------------------------------------------------
// Picture 1: the unicorn

TEST(UnicornPicture, LabelStandsOnRow18FromColumn43) {
    EXPECT_EQ(cells(horse1_rows[label_row - 1]).substr(label_column - 1, label.size()), label);
    // A blank either side keeps the name apart from the line-work.
    EXPECT_EQ(at(horse1_rows[label_row - 1], label_column - 1), ' ');
    EXPECT_EQ(at(horse1_rows[label_row - 1], label_column + label.size()), ' ');
}

TEST(UnicornPicture, LabelIsInsideTheBody) {
    // The body's outline encloses the label: ink on both sides in its row, above and below it
    // in its middle column.
    const std::string_view row = cells(horse1_rows[label_row - 1]);
    EXPECT_NE(row.substr(0, label_column - 2).find_first_not_of(' '), std::string_view::npos);
    EXPECT_NE(row.substr(label_column + label.size()).find_first_not_of(' '),
              std::string_view::npos);
    const std::size_t middle = label_column + label.size() / 2;
    bool above = false, below = false;
    for (std::size_t r = 1; r < label_row; ++r) above |= at(horse1_rows[r - 1], middle) != ' ';
    for (std::size_t r = label_row + 1; r <= horse1_rows.size(); ++r) {
        below |= at(horse1_rows[r - 1], middle) != ' ';
    }
    EXPECT_TRUE(above);
    EXPECT_TRUE(below);
}

TEST(UnicornPicture, IsLightLineWorkWithHeavyGlyphsOnlyAsAccents) {
    // Outlines, mane and tail are drawn in the light glyphs; a heavier one (the eye, say) is an
    // accent, never a strand of hair spelt in letters.
    constexpr std::string_view heavier = "osyhdmN";
    std::size_t count = 0;
    for (std::string_view row : horse1_rows) {
        for (char c : cells(row)) count += heavier.find(c) != std::string_view::npos;
    }
    EXPECT_LE(count, 8u);
}

TEST(UnicornPicture, FourHoovesStandOnTheLastRow) {
    // Each leg reaches the ground on a hoof of its own: four separate marks on the last row.
    const std::string_view ground = cells(horse1_rows.back());
    int hooves = 0;
    for (std::size_t c = 0; c < ground.size(); ++c) {
        hooves += ground[c] != ' ' && (c == 0 || ground[c - 1] == ' ');
    }
    EXPECT_EQ(hooves, 4) << ground;
}

TEST(UnicornPicture, HornTipIsTopLeftAndHoovesStandOnTheLastRow) {
    const auto [first, last] = ink_columns({horse1_rows.front()});
    EXPECT_EQ(first, 11u);  // the horn's tip, where the picture's ink begins
    EXPECT_LE(last, 20u);
    EXPECT_NE(cells(horse1_rows.back()).find_first_not_of(' '), std::string_view::npos);
}

// ---------------------------------------------------------------------------------------------
// Picture 2: the unicorn with the unibrow

TEST(UnibrowPicture, StartsWithTheUnicornsHoofRowAgain) {
    EXPECT_EQ(horse2_rows[0], horse1_rows[33]);
}

TEST(UnibrowPicture, BrowIsTheHeavyMassAcrossRows9To15) {
    // Every brow row holds at least 20 heavy glyphs, and the brow's rows hold on average at
    // least twice the heavy glyphs of the face's other rows.
    std::size_t brow = 0, rest = 0;
    for (std::size_t r = 1; r <= horse2_rows.size(); ++r) {
        const std::size_t heavy = dense_count(horse2_rows[r - 1]);
        if (r >= 9 && r <= 15) {
            EXPECT_GE(heavy, 20u) << "row " << r;
            brow += heavy;
        } else {
            rest += heavy;
        }
    }
    const std::size_t other_rows = horse2_rows.size() - 7;
    EXPECT_GE(brow * other_rows, 2 * rest * 7)
        << brow << " heavy glyphs in the brow's rows, " << rest << " in the others";
}

TEST(UnibrowPicture, AnEyeSitsRightUnderTheBrow) {
    // A heavy band with no eye under it reads as a hat's brim or a mask. The head is in
    // profile, so one eye shows: in rows 16 to 19 a pupil, a run of heavy glyphs with the eye's
    // white (a blank) within two cells on both sides, and the brow over all of it in row 15.
    const std::string_view brow = cells(horse2_rows[15 - 1]);
    bool found = false;
    for (std::size_t r = 16; r <= 19; ++r) {
        const std::string_view row = cells(horse2_rows[r - 1]);
        for (std::size_t start = 2; start + 2 < row.size(); ++start) {
            if (is_heavy(row[start - 1]) || !is_heavy(row[start])) continue;
            std::size_t end = start;
            while (end + 2 < row.size() && is_heavy(row[end])) ++end;
            const bool white_beside =
                row.substr(start - 2, 2).find(' ') != std::string_view::npos &&
                row.substr(end, 2).find(' ') != std::string_view::npos;
            found |= end - start >= 2 && white_beside &&
                     std::all_of(brow.begin() + start - 2, brow.begin() + end + 2, is_dense);
        }
    }
    EXPECT_TRUE(found);
}

// ---------------------------------------------------------------------------------------------
// Picture 3: the unicycle

TEST(UnicyclePicture, FirstRowIsBlank) {
    EXPECT_EQ(unibike_rows[0], std::string(80, ' '));
}

TEST(UnicyclePicture, ForkLegsAreOneRowTypedFiveTimes) {
    for (std::size_t r = 20; r <= 23; ++r) EXPECT_EQ(unibike_rows[r - 1], unibike_rows[18]) << r;
    // Exactly five: the crown above and the legs' ends below are rows of their own.
    EXPECT_NE(unibike_rows[17], unibike_rows[18]);
    EXPECT_NE(unibike_rows[23], unibike_rows[18]);
    // Two legs: two separate stretches of ink.
    const std::string_view legs = unibike_rows[18];
    int stretches = 0;
    for (std::size_t c = 0; c < legs.size(); ++c) {
        stretches += legs[c] != ' ' && (c == 0 || legs[c - 1] == ' ');
    }
    EXPECT_EQ(stretches, 2);
}

// The wheel fills rows 26 to 58 above the ground row, centred between columns 40 and 41.
constexpr std::size_t wheel_top_row = 26, wheel_bottom_row = 58;
constexpr std::size_t wheel_middle_left = 40, wheel_middle_right = 41;

TEST(UnicyclePicture, TyreIsAnEvenSolidRing) {
    // The tyre is the outermost stretch of ink on each of the wheel's rows: on the right it
    // must be the left one's mirror image, glyph for glyph, and solid, so the wheel reads
    // round and even rather than lopsided or notched.
    for (std::size_t r = wheel_top_row; r <= wheel_bottom_row; ++r) {
        const std::string_view row = cells(unibike_rows[r - 1]);
        const std::size_t first = row.find_first_not_of(' ');
        const std::size_t last = row.find_last_not_of(' ');
        ASSERT_NE(first, std::string_view::npos) << "row " << r;
        EXPECT_EQ(first + 1 + last + 1, wheel_middle_left + wheel_middle_right) << "row " << r;
        const std::string_view left = row.substr(first, row.find(' ', first) - first);
        const std::size_t right_start = row.rfind(' ', last) + 1;
        const std::string_view right = row.substr(right_start, last + 1 - right_start);
        EXPECT_EQ(std::string(left), std::string(right.rbegin(), right.rend())) << "row " << r;
        EXPECT_GT(heavy_count(left), 0u) << "row " << r;
    }
}

TEST(UnicyclePicture, ForkBladesRunDownToASolidHub) {
    // Below the legs' repeated rows, each blade keeps heavy ink on its side of the middle on
    // every row until the hub's top edge; the hub itself is solid at the wheel's centre.
    constexpr std::size_t reach = 12;  // how far from the middle a blade may stand
    constexpr std::size_t hub_top_edge_row = 41, hub_rows[] = {42, 43};
    for (std::size_t r = 24; r < hub_top_edge_row; ++r) {
        const std::string_view row = cells(unibike_rows[r - 1]);
        const std::string_view left = row.substr(wheel_middle_left - reach, reach);
        const std::string_view right = row.substr(wheel_middle_right - 1, reach);
        EXPECT_GT(heavy_count(left), 0u) << "row " << r;
        EXPECT_GT(heavy_count(right), 0u) << "row " << r;
    }
    for (std::size_t r : hub_rows) {
        EXPECT_TRUE(is_heavy(at(unibike_rows[r - 1], wheel_middle_left))) << "row " << r;
        EXPECT_TRUE(is_heavy(at(unibike_rows[r - 1], wheel_middle_right))) << "row " << r;
    }
}

TEST(UnicyclePicture, WheelBelowTheCrankIsItsOwnMirrorImage) {
    // From the crank bar down, nothing stands in front of the wheel: its spokes, rim, tyre and
    // pedals must come out the same on both sides, glyph for glyph.
    constexpr std::size_t crank_row = 43;
    for (std::size_t r = crank_row; r <= wheel_bottom_row; ++r) {
        const std::string_view row = cells(unibike_rows[r - 1]);
        EXPECT_EQ(std::string(row), std::string(row.rbegin(), row.rend())) << "row " << r;
    }
}

TEST(UnicyclePicture, SaddleSitsCentredOnThePostAndNarrowerThanHalfTheWheel) {
    // A saddle as wide as the wheel, or hanging off to one side, reads as a hat or an anvil.
    const std::vector<std::string_view> saddle(unibike_rows.begin() + 1, unibike_rows.begin() + 7);
    const auto [first, last] = ink_columns(saddle);
    EXPECT_LE(std::max(first + last, 2 * wheel_middle_left + 1) -
                  std::min(first + last, 2 * wheel_middle_left + 1),
              2u)
        << "saddle spans columns " << first << " to " << last;
    const auto [tyre_first, tyre_last] = ink_columns(
        {unibike_rows.begin() + wheel_top_row - 1, unibike_rows.begin() + wheel_bottom_row});
    EXPECT_LE(2 * (last - first + 1), tyre_last - tyre_first + 1)
        << "saddle spans columns " << first << " to " << last;
}

TEST(UnicyclePicture, EvenSaddlePlainPostAndOpenFork) {
    // A lopsided saddle, a bar, a ring or a hollow on the post, or a scrap of tyre framed by the
    // fork's blades each read as a fault in the drawing.
    for (std::size_t r = 2; r <= 7; ++r) {
        const std::string_view row = cells(unibike_rows[r - 1]);
        EXPECT_EQ(std::string(row), std::string(row.rbegin(), row.rend())) << "saddle row " << r;
    }
    EXPECT_GT(ink_columns({unibike_rows[1]}).first, ink_columns({unibike_rows[2]}).first)
        << "a flat top";
    for (std::size_t r = 9; r <= 14; ++r) EXPECT_EQ(unibike_rows[r - 1], unibike_rows[7]) << r;
    const auto [post_first, post_last] = ink_columns({unibike_rows[7]});
    EXPECT_LE(post_last - post_first + 1, 8u);
    EXPECT_EQ(heavy_count(cells(unibike_rows[7])), post_last - post_first + 1) << "a solid post";
    for (std::size_t r = 24; r <= 40; ++r) {  // down to the hub's top edge
        EXPECT_EQ(cells(unibike_rows[r - 1]).substr(wheel_middle_left - 3, 6), "      ") << r;
    }
}

TEST(UnicyclePicture, SmallHubAndCranksThinnerThanThePedals) {
    // A hub that fills the gap between the blades, or crank arms as heavy as the pedals, make
    // one slab across the wheel that reads as an axle rather than as a hub with two cranks.
    constexpr std::size_t hub_row = 42, crank_row = 43;  // the rows either side of its middle
    EXPECT_EQ(at(unibike_rows[hub_row - 1], wheel_middle_left - 2), ' ');
    EXPECT_EQ(at(unibike_rows[hub_row - 1], wheel_middle_right + 2), ' ');
    // Along the crank's row: a light arm halfway out on each side, a solid pedal at its end.
    const std::string_view crank = cells(unibike_rows[crank_row - 1]);
    for (std::size_t c : {wheel_middle_left - 6, wheel_middle_right + 6}) {
        EXPECT_LT(ramp.find(crank[c - 1]), ramp.find('o')) << "column " << c;
    }
    for (std::size_t c : {wheel_middle_left - 13, wheel_middle_right + 13}) {
        EXPECT_TRUE(is_heavy(crank[c - 1])) << "column " << c;
    }
}
