// The show's console output.
//
// The pictures rely on a console 80 columns wide that wraps after the 80th column. On a wider
// terminal the console breaks such lines itself, so the show looks as it does on 80 columns.
// Anywhere else (exactly 80 columns, or output that is no terminal) the bytes go out unchanged.
#pragma once

#include <string_view>

// The show starts at the beginning of a line.
void console_restart();

// Writes `text` at once. Ends the show when the output is gone.
void console_write(std::string_view text);

// Finishes a row that filled all 80 columns, so that output written behind the console's back
// (the sound module's messages) starts on a line of its own.
void console_finish_full_row();
