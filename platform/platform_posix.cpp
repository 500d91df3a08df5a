// The platform layer on POSIX systems: ppoll against the monotonic clock, write(2) to the
// console, termios for the terminal, and signals turned into flags that the show checks.
//
// The signals the show handles stay blocked while it runs; each wait unblocks them for its
// duration only, atomically (ppoll's signal mask). A handler therefore runs only inside a wait,
// and every wait is followed by a look at the flags: a signal can never land between the look
// and the wait and be parked there.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/platform.hpp"

namespace platform {

namespace {

// ---- Signals: the handlers only set flags ---------------------------------------------------

volatile std::sig_atomic_t stop_signal = 0;
volatile std::sig_atomic_t suspend_requested = 0;
volatile std::sig_atomic_t continued = 0;
volatile std::sig_atomic_t window_resized = 1;  // so the first query reads the width

extern "C" void on_stop_signal(int signal) { stop_signal = signal; }
extern "C" void on_suspend(int) { suspend_requested = 1; }
extern "C" void on_continue(int) { continued = 1; }
extern "C" void on_window_resize(int) { window_resized = 1; }

constexpr int stop_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t handled_signals;  // blocked while the show runs
sigset_t mask_in_waits;    // the mask found at the start, without the handled signals

void catch_signal(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigfillset(&action.sa_mask);  // one handler at a time; they only set flags
    action.sa_flags = 0;
    sigaction(signal, &action, nullptr);
}

// Waits for `events` on `fd` (none: only errors and hang-ups) until `timeout` (null: no limit),
// with the handled signals let through. Returns ppoll's result: -1 with EINTR after a signal.
int wait_on(int fd, short events, const timespec* timeout, short* revents = nullptr) {
    pollfd watched{fd, events, 0};
    const int ready = ppoll(&watched, 1, timeout, &mask_in_waits);
    if (revents != nullptr) {
        *revents = watched.revents;
    }
    return ready;
}

// ---- Terminal settings --------------------------------------------------------------------

bool terminal_saved = false;
termios original_settings{};
termios current_settings{};  // what the show wants while it runs (no echo, or the key wait's mode)

// Only the foreground process may change the terminal; a background one would be stopped.
bool input_terminal_is_ours() {
    return isatty(STDIN_FILENO) && tcgetpgrp(STDIN_FILENO) == getpgrp();
}

// TCSANOW: the settings change at once, without waiting for the output to drain.
void apply_settings(const termios& settings) {
    if (terminal_saved && input_terminal_is_ours()) {
        tcsetattr(STDIN_FILENO, TCSANOW, &settings);
    }
}

void restore_terminal() {
    apply_settings(original_settings);
}

// Ctrl-Z: give the terminal back as it was, stop, and take it over again once continued.
// Called after every wait that a signal ended.
void handle_suspend_and_continue() {
    if (suspend_requested) {
        suspend_requested = 0;
        restore_terminal();
        std::signal(SIGTSTP, SIG_DFL);
        sigset_t only_stop;
        sigemptyset(&only_stop);
        sigaddset(&only_stop, SIGTSTP);
        sigprocmask(SIG_UNBLOCK, &only_stop, nullptr);
        std::raise(SIGTSTP);  // stops here until SIGCONT
        sigprocmask(SIG_BLOCK, &only_stop, nullptr);
        catch_signal(SIGTSTP, on_suspend);
        continued = 1;
    }
    if (continued) {
        continued = 0;
        apply_settings(current_settings);
    }
}

timespec to_timespec(Clock::duration duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(duration - seconds);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

}  // namespace

// ---- Clock ---------------------------------------------------------------------------------

Clock::time_point now() {
    return Clock::now();
}

// Waits on standard output rather than on the clock alone: a closed pipe or a hung-up terminal
// shows up as an error on it (asking for no events still reports those), so the show ends at
// once instead of at its next write, which may be seconds away.
void sleep_until(Clock::time_point deadline) {
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            return;
        }
        const timespec timeout = to_timespec(left);
        const int ready = wait_on(STDOUT_FILENO, 0, &timeout);
        if (ready > 0) {
            stop_signal = SIGPIPE;  // POLLERR, POLLHUP or POLLNVAL: nobody is reading any more
            return;
        }
        if (ready < 0 && errno == EINTR) {
            handle_suspend_and_continue();
            if (stop_signal != 0) {
                return;
            }
        }
    }
}

// ---- Console -------------------------------------------------------------------------------

// Each write is preceded by a wait until the output takes bytes: the wait is where signals get
// through, so a stop request is seen even when the output stays full, and the write itself
// (signals held) does not block on a terminal or a pipe that has room.
bool write_output(std::string_view bytes) {
    while (!bytes.empty()) {
        const int ready = wait_on(STDOUT_FILENO, POLLOUT, nullptr);
        if (ready < 0 && errno == EINTR) {
            handle_suspend_and_continue();
        }
        if (stop_signal != 0) {
            return false;
        }
        if (ready < 0) {
            continue;
        }
        const ssize_t written = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            // A closed pipe (EPIPE) or a vanished terminal: the show has nobody to talk to.
            stop_signal = SIGPIPE;
            return false;
        }
    }
    return true;
}

int output_columns() {
    static int columns = 0;
    if (window_resized) {
        window_resized = 0;
        winsize size{};
        columns = isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
    }
    return columns;
}

// ---- The show's session ----------------------------------------------------------------------

void begin_session() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // every printf reaches the screen in order

    // Blocked before anything else starts a thread: threads inherit the mask, so the audio
    // thread never takes these signals and they wait for the show's next wait.
    sigemptyset(&handled_signals);
    for (int signal : stop_signals) {
        sigaddset(&handled_signals, signal);
    }
    for (int signal : {SIGTSTP, SIGCONT, SIGWINCH}) {
        sigaddset(&handled_signals, signal);
    }
    sigprocmask(SIG_BLOCK, &handled_signals, &mask_in_waits);
    for (int signal : stop_signals) {
        sigdelset(&mask_in_waits, signal);
    }
    for (int signal : {SIGTSTP, SIGCONT, SIGWINCH}) {
        sigdelset(&mask_in_waits, signal);
    }

    if (input_terminal_is_ours() && tcgetattr(STDIN_FILENO, &original_settings) == 0) {
        terminal_saved = true;
        current_settings = original_settings;
        current_settings.c_lflag &= ~(ECHO | ECHONL);  // keys typed during the show stay invisible
        apply_settings(current_settings);
        std::atexit(restore_terminal);
    }

    for (int signal : stop_signals) {
        catch_signal(signal, on_stop_signal);
    }
    catch_signal(SIGTSTP, on_suspend);
    catch_signal(SIGCONT, on_continue);
    catch_signal(SIGWINCH, on_window_resize);
    std::signal(SIGPIPE, SIG_IGN);  // a closed pipe shows up as EPIPE in write_output
}

void end_session() {
    restore_terminal();
}

int stop_request() {
    return stop_signal;
}

void exit_by_signal(int signal) {
    end_session();
    std::signal(signal, SIG_DFL);
    sigset_t only_this;
    sigemptyset(&only_this);
    sigaddset(&only_this, signal);
    sigprocmask(SIG_UNBLOCK, &only_this, nullptr);
    std::raise(signal);
    _exit(128 + signal);  // in case the signal is ignored by default
}

// ---- Library calls that may never return --------------------------------------------------

namespace {

// What the caller and the thread running the work share; the last of them to let go closes the
// pipe. The thread writes one byte to the pipe once the work is done in time, which ends the
// caller's wait: a wait on a file descriptor is one that signals get through.
struct TimedWork {
    std::function<void()> work;
    std::function<void()> if_late;
    std::mutex mutex;
    bool finished = false;   // the work has returned
    bool abandoned = false;  // the caller stopped waiting before it did
    int done_pipe[2] = {-1, -1};

    ~TimedWork() {
        for (int end : done_pipe) {
            if (end >= 0) {
                close(end);
            }
        }
    }
};

void run_timed_work(const std::shared_ptr<TimedWork>& shared) {
    shared->work();
    bool late = false;
    {
        const std::lock_guard lock(shared->mutex);
        shared->finished = true;
        late = shared->abandoned;
    }
    if (late) {
        shared->if_late();
    } else {
        const char done = 1;
        [[maybe_unused]] const ssize_t written = write(shared->done_pipe[1], &done, 1);
    }
}

}  // namespace

// The thread starts with the handled signals blocked, as the caller has them: only the show's own
// waits take them.
bool run_with_time_limit(std::function<void()> work, std::function<void()> if_late, Clock::duration limit) {
    auto shared = std::make_shared<TimedWork>();
    shared->work = std::move(work);
    shared->if_late = std::move(if_late);
    std::thread worker;
    if (pipe2(shared->done_pipe, O_CLOEXEC) == 0) {
        try {
            worker = std::thread(run_timed_work, shared);
        } catch (const std::system_error&) {
        }
    }
    if (!worker.joinable()) {
        shared->work();  // no thread to be had: the call can only be made here, unbounded
        return true;
    }

    const Clock::time_point deadline = Clock::now() + limit;
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            const std::lock_guard lock(shared->mutex);
            if (shared->finished) {
                break;  // done just now: the byte is on its way
            }
            shared->abandoned = true;
            worker.detach();
            return false;
        }
        const timespec timeout = to_timespec(left);
        const int ready = wait_on(shared->done_pipe[0], POLLIN, &timeout);
        if (ready < 0 && errno == EINTR) {
            handle_suspend_and_continue();
        }
        if (stop_signal != 0) {
            exit_by_signal(stop_signal);
        }
        if (ready > 0) {
            break;
        }
    }
    worker.join();  // it has nothing left to do but end
    return true;
}

// ---- Final key wait --------------------------------------------------------------------------

void wait_for_key() {
    write_output("Press any key to continue . . . ");

    const bool from_terminal = terminal_saved && input_terminal_is_ours();
    if (from_terminal) {
        tcflush(STDIN_FILENO, TCIFLUSH);  // keys typed during the show must not count
        current_settings.c_lflag &= ~(ICANON | ECHO | ECHONL);  // one key, unseen; Ctrl-C still works
        current_settings.c_cc[VMIN] = 1;
        current_settings.c_cc[VTIME] = 0;
        apply_settings(current_settings);
    }

    // One byte, or the end of the input; a closed or failing input ends the wait too.
    while (stop_signal == 0) {
        if (wait_on(STDIN_FILENO, POLLIN, nullptr) < 0) {
            if (errno != EINTR) {
                break;
            }
            handle_suspend_and_continue();
            continue;
        }
        char key = 0;
        const ssize_t got = read(STDIN_FILENO, &key, 1);
        if (got >= 0 || (errno != EINTR && errno != EAGAIN)) {
            break;  // a key, the end of the input, or a failing input
        }
    }

    if (from_terminal) {
        current_settings = original_settings;
        restore_terminal();
    }
    write_output("\n");
}

}  // namespace platform
