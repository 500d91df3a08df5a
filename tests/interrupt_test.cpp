// Every way out of the real program restores the terminal and ends it as the user expects:
// Ctrl-C, SIGTERM and SIGHUP during the show, and a reader that goes away.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include "bixo_in_terminal.hpp"

namespace {

struct WayOut {
    const char* what;
    int signal;          // sent with kill, or 0 to press Ctrl-C on the terminal
    int expected_status; // as the shell shows it
};

}  // namespace

TEST(Interrupt, EveryWayOutRestoresTheTerminal) {
    for (const WayOut& way_out : {WayOut{"Ctrl-C", 0, 130}, WayOut{"SIGTERM", SIGTERM, 143},
                                  WayOut{"SIGHUP", SIGHUP, 129}}) {
        BixoInTerminal bixo({.audio_driver = "dummy"});
        ASSERT_TRUE(bixo.record_until_text("^-^\n\n", 5)) << way_out.what;
        bixo.record_until(1.0);  // well inside the first pause
        const double sent_at = bixo.now();
        if (way_out.signal == 0) {
            bixo.type("\x03");
        } else {
            bixo.send_signal(way_out.signal);
        }
        EXPECT_EQ(bixo.record_until_exit(sent_at + 2), way_out.expected_status) << way_out.what;
        std::printf("%s to exit: %.1f ms\n", way_out.what, (bixo.now() - sent_at) * 1000);
        EXPECT_TRUE(same_settings(bixo.settings_before, bixo.terminal_settings())) << way_out.what;
        EXPECT_EQ(bixo.error_output(), "") << way_out.what;
    }
}

TEST(Interrupt, ClosedPipeEndsTheProgramAtOnceAndQuietly) {
    int output[2];
    int errors[2];
    ASSERT_EQ(pipe(output), 0);
    ASSERT_EQ(pipe(errors), 0);
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        dup2(errors[1], STDERR_FILENO);
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        close(output[0]);
        close(errors[0]);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(BIXO_EXECUTABLE, "bixo", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    close(errors[1]);

    // Like `bixo | head -c 100`: read 100 bytes, then go away.
    char first_bytes[100];
    std::size_t got = 0;
    while (got < sizeof first_bytes) {
        const ssize_t count = read(output[0], first_bytes + got, sizeof first_bytes - got);
        ASSERT_GT(count, 0);
        got += static_cast<std::size_t>(count);
    }
    close(output[0]);
    const auto reader_gone = std::chrono::steady_clock::now();

    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const double seconds_to_end = std::chrono::duration<double>(std::chrono::steady_clock::now() - reader_gone).count();
    std::printf("closed pipe to exit: %.1f ms\n", seconds_to_end * 1000);
    // Long before the 10-second pause the show is in would end: it noticed the reader leave.
    EXPECT_LT(seconds_to_end, 5.0);
    EXPECT_LT(std::chrono::duration<double>(reader_gone - started).count(), 5.0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << "ended with status " << status;

    char error_byte;
    EXPECT_EQ(read(errors[0], &error_byte, 1), 0) << "something was written on standard error";
    close(errors[0]);
}
