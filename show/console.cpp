#include "show/console.hpp"

#include <string>

#include "platform/platform.hpp"
#include "show/session.hpp"

namespace {

constexpr int show_width = 80;

enum class Text { story, picture };

// Characters since the last line break or wrap of an 80-column console, whatever the
// terminal's width.
int column = 0;

// The terminal's width when the current line began; 0 where the output is no terminal.
int line_columns = 0;

// How many characters of a picture row fit on the current line: the terminal's width, less one
// where the cursor leaves a full line at once, so that the row's line break does not leave an
// empty line behind it.
int line_room = 0;

// Whether part of the current line was left out beyond a narrow terminal's right edge. The
// terminal's cursor then stands where the room ends, not where an 80-column console's would.
bool line_clipped = false;

// Where an 80-column console would wrap, the terminal needs a line break of ours when it is
// wider, or when it is narrower and did not wrap this line itself because the line was clipped.
bool break_needed_at_the_wrap() {
    return line_columns > show_width || line_clipped;
}

void write_text(std::string_view text, Text kind) {
    std::string bytes;
    for (char character : text) {
        // An 80-column console would wrap here; a line break of the text's own takes its place.
        if (column == show_width && character != '\n') {
            if (break_needed_at_the_wrap()) {
                bytes += '\n';
            }
            column = 0;
        }
        if (column == 0) {
            line_columns = platform::output_columns();
            line_room = platform::output_wraps_at_once() ? line_columns - 1 : line_columns;
            line_clipped = false;
        }
        if (character == '\n') {
            bytes += '\n';
            column = 0;
            continue;
        }
        const bool narrow = line_columns > 0 && line_columns < show_width;
        if (kind == Text::picture && narrow && column >= line_room) {
            line_clipped = true;
        } else {
            bytes += character;
        }
        ++column;
    }
    platform::write_output(bytes);
    end_show_if_asked();
}

}  // namespace

void console_restart() {
    column = 0;
}

void console_write(std::string_view text) {
    write_text(text, Text::story);
}

void console_write_picture(std::string_view text) {
    write_text(text, Text::picture);
}

void console_finish_full_row() {
    if (column == show_width && break_needed_at_the_wrap()) {
        console_write("\n");
    }
}
