// Leaving the show early: a signal (Ctrl-C, Ctrl-\, SIGTERM, SIGHUP) or a closed output.
#pragma once

// Names what an early end must undo besides the terminal: `undo` runs once the terminal is
// restored, just before the process ends, so it must be quick. The latest call counts; null
// undoes nothing.
void on_early_end(void (*undo)());

// When something asked the show to end: restores the terminal, runs the undo named by
// on_early_end and ends the process the way that signal would have. Returns at once otherwise.
void end_show_if_asked();
