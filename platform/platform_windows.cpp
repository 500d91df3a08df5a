// The platform layer on Windows: a high-resolution waitable timer for the pauses, the C
// runtime's stdout for the console, the console's input mode, and "PAUSE" for the final key.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.hpp"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002  // Windows 10 1803 and later; older headers lack it
#endif

namespace platform {

namespace {

// A closed output ends the show like a signal; Windows has no SIGPIPE, so it gets a number here.
constexpr int output_closed = 13;
// The exit code Windows gives a program ended by Ctrl-C.
constexpr UINT ctrl_c_exit_code = 0xC000013A;

volatile LONG stop_signal = 0;
HANDLE stop_event = nullptr;   // set when a stop arrives, so a pause ends at once
HANDLE pause_timer = nullptr;  // high-resolution where Windows offers it

bool input_mode_saved = false;
DWORD original_input_mode = 0;

BOOL WINAPI on_console_control(DWORD event) {
    InterlockedExchange(&stop_signal, event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM);
    if (stop_event != nullptr) {
        SetEvent(stop_event);
    }
    return TRUE;
}

void restore_input_mode() {
    if (input_mode_saved) {
        SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), original_input_mode);
    }
}

}  // namespace

// ---- Clock ---------------------------------------------------------------------------------

Clock::time_point now() {
    return Clock::now();
}

void sleep_until(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return;
    }
    if (pause_timer == nullptr) {
        pause_timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    }
    if (pause_timer == nullptr) {
        // Older Windows: a plain Sleep, as coarse as the system's timer.
        Sleep(static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
        return;
    }
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(std::chrono::duration_cast<std::chrono::nanoseconds>(left).count() / 100);
    SetWaitableTimer(pause_timer, &due, 0, nullptr, nullptr, FALSE);
    HANDLE wake_on[] = {pause_timer, stop_event};
    WaitForMultipleObjects(stop_event != nullptr ? 2 : 1, wake_on, FALSE, INFINITE);
}

// ---- Console -------------------------------------------------------------------------------

bool write_output(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
        InterlockedExchange(&stop_signal, output_closed);
        return false;
    }
    return true;
}

int output_columns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        return 0;
    }
    return info.dwSize.X;  // the console wraps at its buffer's width
}

// ---- The show's session ----------------------------------------------------------------------

void begin_session() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(on_console_control, TRUE);

    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (GetConsoleMode(input, &original_input_mode)) {
        input_mode_saved = true;
        SetConsoleMode(input, original_input_mode & ~ENABLE_ECHO_INPUT);  // keys typed during the show stay invisible
        std::atexit(restore_input_mode);
    }
}

void end_session() {
    restore_input_mode();
}

int stop_request() {
    return static_cast<int>(stop_signal);
}

void exit_by_signal(int signal) {
    end_session();
    ExitProcess(signal == SIGINT ? ctrl_c_exit_code : 128 + signal);
}

// ---- Final key wait --------------------------------------------------------------------------

void wait_for_key() {
    restore_input_mode();
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));  // keys typed during the show must not count
    std::system("PAUSE");
}

}  // namespace platform
