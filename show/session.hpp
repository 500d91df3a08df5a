// Leaving the show early: a signal (Ctrl-C, SIGTERM, SIGHUP) or a closed output.
#pragma once

// When something asked the show to end: stops the music, restores the terminal and ends the
// process the way that signal would have. Returns at once otherwise.
void end_show_if_asked();
