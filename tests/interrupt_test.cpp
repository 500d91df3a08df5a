// Every way out of the real program restores the terminal and ends it as the user expects:
// Ctrl-C, Ctrl-\, SIGTERM and SIGHUP during the show, a reader that goes away and one that
// stops reading; and Ctrl-Z, however often, stops it with the terminal restored.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

#include "bixo_in_terminal.hpp"
#include "show/picture_rows.hpp"

namespace {

struct WayOut {
    const char* what;
    const char* key;     // pressed on the terminal, or null to send `signal` with kill
    int signal;
    int expected_status; // as the shell shows it
};

}  // namespace

TEST(Interrupt, EveryWayOutRestoresTheTerminal) {
    for (const WayOut& way_out : {WayOut{"Ctrl-C", "\x03", 0, 130}, WayOut{"Ctrl-\\", "\x1c", 0, 131},
                                  WayOut{"SIGTERM", nullptr, SIGTERM, 143}, WayOut{"SIGHUP", nullptr, SIGHUP, 129}}) {
        BixoInTerminal bixo({.audio_driver = "dummy"});
        ASSERT_TRUE(bixo.record_until_text("^-^\n\n", 5)) << way_out.what;
        bixo.record_until(1.0);  // well inside the first pause
        const double sent_at = bixo.now();
        if (way_out.key != nullptr) {
            bixo.type(way_out.key);
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

// Bixo as the job of an interactive shell, stopped with Ctrl-Z and brought back with `fg` again
// and again while it types a picture at the fast pace: every stop is honoured at once, never
// parked until some later signal, with the terminal as the shell left it while stopped and the
// show's settings back each time it goes on.
TEST(Interrupt, EveryCtrlZWhileTypingStopsItWithTheTerminalRestored) {
    BixoInTerminal bixo({.audio_driver = "dummy", .job_of_a_shell = true});
    const std::string picture_begins = std::string(pictures::horse1_rows[0].substr(0, 12));
    ASSERT_TRUE(bixo.record_until_text("B I X O \n" + picture_begins, 30)) << bixo.output;

    constexpr int stops = 60;
    double slowest_stop = 0;
    for (int stop = 1; stop <= stops; ++stop) {
        const double pressed_at = bixo.now();
        bixo.type("\x1a");
        ASSERT_TRUE(bixo.record_until_stopped(pressed_at + 2)) << "Ctrl-Z number " << stop << " was not honoured";
        slowest_stop = std::max(slowest_stop, bixo.now() - pressed_at);
        EXPECT_TRUE(same_settings(bixo.settings_before, bixo.terminal_settings())) << "stopped, number " << stop;

        bixo.type("fg\n");
        ASSERT_TRUE(bixo.record_until_continued(bixo.now() + 5)) << "fg number " << stop;
        EXPECT_TRUE(bixo.record_until_echo_off(bixo.now() + 5)) << "not set up again after fg number " << stop;
        bixo.record_until(bixo.now() + 0.002 * (stop % 5));  // each stop at another point of the typing
    }
    std::printf("%d stops, the slowest honoured after %.1f ms\n", stops, slowest_stop * 1000);
    EXPECT_EQ(bixo.output.find("He is a M A G I C A L"), std::string::npos) << "the stops were not all during the picture";
}

// Like `bixo > pipe` where the reader holds the pipe open but reads no more: the output is full,
// and Ctrl-C must still end the show.
TEST(Interrupt, CtrlCEndsTheShowWhileItsOutputIsFull) {
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    fcntl(output[1], F_SETPIPE_SZ, 4096);
    fcntl(output[1], F_SETFL, O_NONBLOCK);
    const std::string filler(512, '.');
    while (write(output[1], filler.data(), filler.size()) > 0) {
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        const int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(nothing, STDERR_FILENO);
        close(output[0]);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(BIXO_EXECUTABLE, "bixo", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);

    // Its signal handlers in place (SIGINT among those it catches), then its first write waits.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool catches_ctrl_c = false;
    while (!catches_ctrl_c && std::chrono::steady_clock::now() < deadline) {
        std::ifstream status("/proc/" + std::to_string(child) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("SigCgt:", 0) == 0) {
                catches_ctrl_c = (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1) & 1) != 0;
            }
        }
        poll(nullptr, 0, 1);
    }
    ASSERT_TRUE(catches_ctrl_c);

    const auto sent_at = std::chrono::steady_clock::now();
    kill(child, SIGINT);
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < sent_at + std::chrono::seconds(5)) {
        poll(nullptr, 0, 1);
    }
    const double seconds_to_end = std::chrono::duration<double>(std::chrono::steady_clock::now() - sent_at).count();
    if (ended == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    close(output[0]);
    ASSERT_EQ(ended, child) << "still running 5 s after Ctrl-C";
    std::printf("Ctrl-C with a full output to exit: %.1f ms\n", seconds_to_end * 1000);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "ended with status " << status;
}
