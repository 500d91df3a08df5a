// The platform layer on Windows: a high-resolution waitable timer for the pauses, the C
// runtime's stdout for the console, a console control handler for Ctrl-C and a closed window,
// the console's input mode, and "PAUSE" for the final key.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <timeapi.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/platform.hpp"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002  // Windows 10 1803 and later; older headers lack it
#endif

namespace platform {

namespace {

using std::chrono::milliseconds;

// A closed output ends the show like a signal; Windows has no SIGPIPE, so it gets POSIX's number.
constexpr int output_closed = 13;
// The exit code Windows gives a program ended by Ctrl-C.
constexpr UINT ctrl_c_exit_code = 0xC000013A;
// Windows ends a process this long after its console was closed, whatever the handler does;
// the handler waits a little less for the show's clean-up.
constexpr DWORD clean_up_allowance_ms = 4000;
// A timer wait lasts at most this much longer than the pause it was set for: should the timer
// never fire, the wait still ends and the pause goes on with the next wait.
constexpr DWORD timer_safety_margin_ms = 20;

// ---- Stop requests: the handler runs on a thread of its own -------------------------------------

volatile LONG stop_signal = 0;
HANDLE stop_event = nullptr;           // set with the stop request, so a pause ends at once
HANDLE session_ended_event = nullptr;  // set by exit_by_signal, once the show has cleaned up

void request_stop(int signal) {
    InterlockedCompareExchange(&stop_signal, signal, 0);  // the first reason counts
    if (stop_event != nullptr) {
        SetEvent(stop_event);
    }
}

// A write to a full pipe, or a read of the final key from a pipe, blocks the main thread inside
// the system, where no event reaches it: the handler cancels that call. The main thread marks
// such a call and looks at the stop request after marking it, before the call; the handler sets
// the request before looking at the mark. So either the main thread sees the request and makes
// no call, or the handler sees the mark and cancels until the call is over.
HANDLE main_thread = nullptr;  // a real handle: GetCurrentThread's means "the calling thread"
volatile LONG main_thread_blocks = 0;

// Marks a call that may block; false, with no mark, when a stop was asked already.
bool begin_blocking_call() {
    InterlockedExchange(&main_thread_blocks, 1);
    if (InterlockedCompareExchange(&stop_signal, 0, 0) != 0) {
        InterlockedExchange(&main_thread_blocks, 0);
        return false;
    }
    return true;
}

void end_blocking_call() {
    InterlockedExchange(&main_thread_blocks, 0);
}

void cancel_blocking_call() {
    if (main_thread == nullptr) {
        return;
    }
    // The call may be about to start, so one cancel may find nothing yet.
    for (DWORD tries = 0; InterlockedCompareExchange(&main_thread_blocks, 0, 0) != 0 && tries < clean_up_allowance_ms; ++tries) {
        CancelSynchronousIo(main_thread);
        Sleep(1);
    }
}

BOOL WINAPI on_console_control(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        request_stop(SIGINT);
        cancel_blocking_call();
        return TRUE;
    }
    // The console window closes, the user logs off or the system shuts down: Windows ends the
    // process as soon as this handler returns, so it returns only once the main thread has
    // restored the console and stopped the music (or after the allowance).
    request_stop(SIGTERM);
    cancel_blocking_call();
    if (session_ended_event != nullptr) {
        WaitForSingleObject(session_ended_event, clean_up_allowance_ms);
    }
    return TRUE;
}

// ---- The console's input mode -----------------------------------------------------------------

bool input_mode_saved = false;
DWORD original_input_mode = 0;

void restore_input_mode() {
    if (input_mode_saved) {
        SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), original_input_mode);
    }
}

// ---- Pauses -----------------------------------------------------------------------------------

HANDLE pause_timer = nullptr;
bool pause_timer_tried = false;
bool high_resolution_timer = false;
bool timer_resolution_raised = false;  // by timeBeginPeriod, until end_session

// Windows 10 1803 and later offer a timer that keeps to the millisecond. Elsewhere a plain timer
// serves, with the system's timer resolution raised to 1 ms while the show runs. Safe to call
// again: the timer is made once, the resolution raised again after end_session.
void prepare_pauses() {
    if (!pause_timer_tried) {
        pause_timer_tried = true;
        pause_timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        high_resolution_timer = pause_timer != nullptr;
        if (!high_resolution_timer) {
            pause_timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        }
    }
    if (!high_resolution_timer && !timer_resolution_raised) {
        timer_resolution_raised = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
}

DWORD whole_milliseconds_to(Clock::duration left) {
    const auto ms = std::chrono::ceil<milliseconds>(left).count();
    return static_cast<DWORD>(std::clamp<decltype(ms)>(ms, 0, 60'000));
}

// Waits for the timer set to `left`, or for a stop request. False when the timer cannot be set.
bool wait_on_timer(Clock::duration left) {
    if (pause_timer == nullptr) {
        return false;
    }
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(std::chrono::duration_cast<std::chrono::nanoseconds>(left).count() / 100);
    if (due.QuadPart == 0) {
        due.QuadPart = -1;  // zero would mean an absolute time long past
    }
    if (!SetWaitableTimer(pause_timer, &due, 0, nullptr, nullptr, FALSE)) {
        return false;
    }
    const HANDLE wake_on[] = {pause_timer, stop_event};
    const DWORD handles = stop_event != nullptr ? 2 : 1;
    const DWORD result = WaitForMultipleObjects(handles, wake_on, FALSE, whole_milliseconds_to(left) + timer_safety_margin_ms);
    return result != WAIT_FAILED;
}

// Waits `left` at the system timer's resolution, or until a stop request.
void wait_coarsely(Clock::duration left) {
    const DWORD timeout = std::max<DWORD>(1, whole_milliseconds_to(left));
    if (stop_event == nullptr || WaitForSingleObject(stop_event, timeout) == WAIT_FAILED) {
        Sleep(timeout);
    }
}

}  // namespace

// ---- Clock ---------------------------------------------------------------------------------

Clock::time_point now() {
    return Clock::now();
}

void sleep_until(Clock::time_point deadline) {
    if (!pause_timer_tried) {
        prepare_pauses();  // begin_session does it; this covers a pause before that
    }
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero() || stop_request() != 0) {
            return;
        }
        if (!wait_on_timer(left)) {
            wait_coarsely(left);
        }
    }
}

// ---- Console -------------------------------------------------------------------------------

// The C runtime's text mode turns each "\n" into "\r\n", as Windows programs write lines; the
// show's text holds no "\r" of its own, so none is doubled.
bool write_output(std::string_view bytes) {
    if (!begin_blocking_call()) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    end_blocking_call();
    if (!written) {
        request_stop(output_closed);  // a closed pipe, or a console that is gone; a Ctrl-C came first if it cancelled the write
        return false;
    }
    return true;
}

int output_columns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        return 0;  // no console: a pipe or a file
    }
    return info.dwSize.X;  // the console wraps at its buffer's width
}

// The console moves the cursor on as soon as a line is full. A console set to wait for the next
// character instead (DISABLE_NEWLINE_AUTO_RETURN) only loses a picture's last column to this.
bool output_wraps_at_once() {
    return true;
}

// ---- The show's session ----------------------------------------------------------------------

void begin_session() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // every write reaches the console in order
    stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    session_ended_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &main_thread, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        main_thread = nullptr;  // a blocked write then waits for room as before
    }
    if (!SetConsoleCtrlHandler(on_console_control, TRUE)) {
        std::fputs("bixo: Ctrl-C will end the show without restoring the console\n", stderr);
    }
    prepare_pauses();

    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input != INVALID_HANDLE_VALUE && input != nullptr && GetConsoleMode(input, &original_input_mode)) {
        // Keys typed during the show stay invisible; Ctrl-C keeps working (ENABLE_PROCESSED_INPUT).
        input_mode_saved = SetConsoleMode(input, original_input_mode & ~ENABLE_ECHO_INPUT) != 0;
        if (input_mode_saved) {
            std::atexit(restore_input_mode);
        }
    }
}

// A console control handler waiting for a closed window's clean-up goes on waiting: the undo
// that follows (the music's silence) must run before the handler lets Windows end the process.
void end_session() {
    restore_input_mode();
    if (timer_resolution_raised) {
        timeEndPeriod(1);
        timer_resolution_raised = false;
    }
}

int stop_request() {
    return static_cast<int>(stop_signal);
}

void exit_by_signal(int signal) {
    end_session();
    if (session_ended_event != nullptr) {
        SetEvent(session_ended_event);  // a waiting console control handler may return now
    }
    ExitProcess(signal == SIGINT ? ctrl_c_exit_code : 128 + signal);
}

namespace {

// What the thread of run_with_time_limit shares with the wait: whichever finishes first, the
// work or the wait, decides whether the work was in time.
struct TimedWork {
    enum : LONG { running, in_time, late };
    std::function<void()> work;
    std::function<void()> if_late;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    volatile LONG outcome = running;

    ~TimedWork() {
        if (done != nullptr) {
            CloseHandle(done);
        }
    }
};

void run_timed_work(const std::shared_ptr<TimedWork>& timed) {
    timed->work();
    if (InterlockedCompareExchange(&timed->outcome, TimedWork::in_time, TimedWork::running) == TimedWork::late) {
        timed->if_late();
    } else {
        SetEvent(timed->done);
    }
}

}  // namespace

bool run_with_time_limit(std::function<void()> work, std::function<void()> if_late, Clock::duration limit) {
    auto timed = std::make_shared<TimedWork>();
    timed->work = std::move(work);
    timed->if_late = std::move(if_late);
    if (timed->done == nullptr) {
        timed->work();  // no way to wait for the thread: the work runs here, without a limit
        return true;
    }
    std::thread worker;
    try {
        worker = std::thread(run_timed_work, timed);
    } catch (const std::system_error&) {
        timed->work();
        return true;
    }

    const HANDLE wake_on[] = {timed->done, stop_event};
    const DWORD handles = stop_event != nullptr ? 2 : 1;
    const Clock::time_point deadline = Clock::now() + limit;
    for (;;) {
        const auto left = deadline - Clock::now();
        const DWORD result = WaitForMultipleObjects(handles, wake_on, FALSE, whole_milliseconds_to(left));
        if (result == WAIT_OBJECT_0 + 1) {
            exit_by_signal(stop_request());
        }
        if (result != WAIT_TIMEOUT || left <= Clock::duration::zero()) {
            break;  // the work returned, or the limit passed (or the wait failed: judged as late)
        }
    }
    // The work may have returned just now: then it was in time after all.
    if (InterlockedCompareExchange(&timed->outcome, TimedWork::late, TimedWork::running) == TimedWork::in_time) {
        worker.join();  // it has nothing left to do but end: no thread outlives work done in time
        return true;
    }
    worker.detach();
    return false;
}

// ---- Final key wait --------------------------------------------------------------------------

namespace {

bool is_modifier(WORD key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN || key == VK_RWIN ||
           key == VK_CAPITAL || key == VK_NUMLOCK || key == VK_SCROLL;
}

// Waits for a key pressed on the console (a modifier alone does not count, as with PAUSE), or
// for a stop request.
void wait_for_console_key(HANDLE input) {
    for (;;) {
        const HANDLE wake_on[] = {input, stop_event};
        const DWORD handles = stop_event != nullptr ? 2 : 1;
        if (WaitForMultipleObjects(handles, wake_on, FALSE, INFINITE) != WAIT_OBJECT_0) {
            return;  // a stop request, or a wait that cannot be made
        }
        INPUT_RECORD record;
        DWORD records = 0;
        if (!ReadConsoleInputW(input, &record, 1, &records)) {
            return;
        }
        if (records == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            !is_modifier(record.Event.KeyEvent.wVirtualKeyCode)) {
            return;
        }
    }
}

// PAUSE's part where no command interpreter runs it: the same prompt, one key, the line ended.
// Where standard input is no console, one byte or the end of the input.
void pause_by_ourselves() {
    write_output("Press any key to continue . . . ");
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(input, &mode)) {
        // One key at a time, unseen; Ctrl-C still works (ENABLE_PROCESSED_INPUT).
        SetConsoleMode(input, mode & ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));
        wait_for_console_key(input);
        SetConsoleMode(input, mode);
    } else if (begin_blocking_call()) {
        char key = 0;
        DWORD read = 0;
        ReadFile(input, &key, 1, &read, nullptr);  // a Ctrl-C cancels it
        end_blocking_call();
    }
    write_output("\n");
}

}  // namespace

void wait_for_key() {
    restore_input_mode();
    if (input_mode_saved) {
        FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));  // keys typed during the show must not count
    }
    if (std::system("PAUSE") == -1) {  // prompts, waits for one key and ends the prompt's line
        pause_by_ourselves();          // no command interpreter could be started
    }
}

}  // namespace platform
