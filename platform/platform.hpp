// What the show needs from the operating system: a monotonic clock and sleeps, the console,
// the terminal's settings while the show runs, and the final key wait.
//
// One implementation per platform (platform_posix.cpp, platform_windows.cpp); the tests link
// a fake with a virtual clock in their place.
#pragma once

#include <chrono>
#include <functional>
#include <string_view>

namespace platform {

// ---- Clock -------------------------------------------------------------------------------

using Clock = std::chrono::steady_clock;

Clock::time_point now();

// Sleeps until `deadline`. Returns early when a signal asks the show to stop, so callers
// re-check stop_request() and sleep again if time is left. A Ctrl-Z during the sleep is handled
// here: the terminal is restored while the process is stopped and set up again when it goes on.
void sleep_until(Clock::time_point deadline);

// ---- Console -----------------------------------------------------------------------------

// Writes `bytes` to standard output at once, unbuffered. Returns false when the output is
// gone (a closed pipe: that becomes a stop request) or when a stop request arrives while the
// output takes no more bytes (a full pipe, a stopped terminal): waiting for room never keeps
// the show from ending.
bool write_output(std::string_view bytes);

// Width of the terminal on standard output, 0 when standard output is no terminal.
int output_columns();

// ---- The show's session ------------------------------------------------------------------

// Prepares the run: standard output unbuffered, keys typed on a terminal not echoed (signal
// keys keep working), SIGINT, SIGTERM, SIGHUP and SIGQUIT turned into a stop request, SIGPIPE
// into a failed write. Ctrl-Z stops the process with the terminal restored, and each time it
// goes on the terminal is set up again. No signal is ever missed: each one is seen by the
// sleep, write or key wait in progress or by the next one. Call it before anything starts a
// thread.
void begin_session();

// Restores the terminal settings found by begin_session, at once. Safe to call more than once.
void end_session();

// The signal that asked the show to end (SIGINT, SIGTERM, SIGHUP or SIGQUIT, or SIGPIPE once
// the output was found closed), 0 while none did.
int stop_request();

// Ends the process as `signal` would have ended it (the shell sees the usual status),
// after restoring the terminal.
[[noreturn]] void exit_by_signal(int signal);

// ---- Library calls that may never return ------------------------------------------------

// Runs `work` on a thread of its own and waits until it returns or `limit` has passed. A stop
// request during the wait (Ctrl-C, Ctrl-\, SIGTERM, SIGHUP; on Windows also a closed console
// window) ends the program at once, as exit_by_signal does, so a library call that never
// returns cannot make the show deaf. Returns true when `work` returned within the limit.
// Otherwise its thread is left running: should `work` ever return, `if_late` runs right after
// it on that thread (and never when `work` returned in time), to undo what `work` made.
bool run_with_time_limit(std::function<void()> work, std::function<void()> if_late, Clock::duration limit);

// ---- Final key wait ----------------------------------------------------------------------

// Prompts and waits for one key press. Keys typed before are discarded. Where standard input
// is no terminal, reads one byte or the end of the input.
void wait_for_key();

}  // namespace platform
