#include "show/console.hpp"

#include <cstddef>

#include "platform/platform.hpp"
#include "show/session.hpp"

namespace {

constexpr int show_width = 80;

// Characters written since the last line break, whatever the terminal's width.
int column = 0;

bool terminal_is_wider_than_the_show() {
    return platform::output_columns() > show_width;
}

}  // namespace

void console_restart() {
    column = 0;
}

void console_write(std::string_view text) {
    const bool break_long_lines = terminal_is_wider_than_the_show();
    std::size_t pending_from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // An 80-column console would wrap here; a line break of the text's own takes its place.
        if (break_long_lines && column == show_width && text[i] != '\n') {
            platform::write_output(text.substr(pending_from, i - pending_from));
            platform::write_output("\n");
            pending_from = i;
            column = 0;
        }
        column = text[i] == '\n' ? 0 : column + 1;
    }
    platform::write_output(text.substr(pending_from));
    end_show_if_asked();
}

void console_finish_full_row() {
    if (column == show_width && terminal_is_wider_than_the_show()) {
        console_write("\n");
    }
}
