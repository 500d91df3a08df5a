// The show's console output.
//
// The pictures rely on a console 80 columns wide that wraps after the 80th column. On a
// terminal of another width the console keeps an 80-column console's lines itself:
// - wider: every line is broken where an 80-column console would wrap it;
// - narrower: picture rows are broken there too, and what lies beyond the terminal's right
//   edge is left out, so each picture shows its left part with its rows aligned, one line per
//   row (on a console that wraps as soon as a line is full, the last column stays empty). Story
//   text goes out unchanged and wraps where the terminal wraps it: none of it is lost.
// At exactly 80 columns, or where the output is no terminal, the bytes go out unchanged.
// The terminal's width is read as each line begins: a resize counts from the next row on.
#pragma once

#include <string_view>

// The show starts at the beginning of a line.
void console_restart();

// Writes story text at once. Ends the show when the output is gone or a signal asks.
void console_write(std::string_view text);

// Writes part of a picture row (or a whole one) at once, clipped on a narrow terminal. Ends
// the show when the output is gone or a signal asks.
void console_write_picture(std::string_view text);

// Finishes a row that filled all 80 columns, so that output written behind the console's back
// (the sound module's messages) starts on a line of its own.
void console_finish_full_row();
