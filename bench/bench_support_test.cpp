// The benchmarks' measuring code: the pty that captures the show's output, the story pace's
// draws, the gaps' deviations and the percentiles reported.
#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "pty_capture.hpp"
#include "timing_stats.hpp"

using namespace std::chrono_literals;
using bench::Clock;

namespace {

// ---- The pty --------------------------------------------------------------------------------

void write_all(int fd, const std::string& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

TEST(PtyCapture, ReceivesEveryByteUntranslatedInOrder) {
    const std::string text = "a row\nanother row\r\n\tend";
    bench::PtyCapture pty(text.size());
    write_all(pty.slave_fd(), text);
    ASSERT_TRUE(pty.finish(text.size(), 2s));
    EXPECT_EQ(pty.bytes(), text);  // "\n" stays one byte: one character typed, one arrival
    ASSERT_EQ(pty.arrivals().size(), text.size());
    EXPECT_TRUE(std::is_sorted(pty.arrivals().begin(), pty.arrivals().end()));
}

TEST(PtyCapture, KeepsDrainingPastWhatTheTerminalBuffers) {
    // Far more than a pty buffers: without a reader that keeps up, the writes would block.
    const std::string text(200000, 'x');
    bench::PtyCapture pty(text.size());
    std::thread writer([&] { write_all(pty.slave_fd(), text); });
    const bool complete = pty.finish(text.size(), 10s);
    writer.join();
    EXPECT_TRUE(complete);
    EXPECT_EQ(pty.bytes().size(), text.size());
}

TEST(PtyCapture, StampsEachByteWhenItArrives) {
    bench::PtyCapture pty(2);
    write_all(pty.slave_fd(), "a");
    std::this_thread::sleep_for(60ms);
    write_all(pty.slave_fd(), "b");
    ASSERT_TRUE(pty.finish(2, 2s));
    // A reader that stamped bytes in batches would put both at the second write.
    EXPECT_GE(pty.arrivals()[1] - pty.arrivals()[0], 30ms);
}

TEST(PtyCapture, FinishReportsMissingBytesAfterTheTimeout) {
    bench::PtyCapture pty(10);
    write_all(pty.slave_fd(), "abc");
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(pty.finish(10, 100ms));
    EXPECT_GE(Clock::now() - start, 100ms);
    EXPECT_EQ(pty.bytes(), "abc");
}

TEST(PtyCapture, IsATerminal80ColumnsWide) {
    bench::PtyCapture pty(0);
    EXPECT_TRUE(isatty(pty.slave_fd()));
    winsize size{};
    ASSERT_EQ(ioctl(pty.slave_fd(), TIOCGWINSZ, &size), 0);
    EXPECT_EQ(size.ws_col, 80);
}

ino_t stdout_inode() {
    struct stat status {};
    fstat(STDOUT_FILENO, &status);
    return status.st_ino;
}

TEST(PtyCapture, RedirectsStandardOutputAndPutsItBack) {
    const ino_t original = stdout_inode();
    {
        bench::PtyCapture pty(5);
        pty.redirect_stdout();
        EXPECT_NE(stdout_inode(), original);
        write_all(STDOUT_FILENO, "hello");
        pty.restore_stdout();
        EXPECT_EQ(stdout_inode(), original);
        ASSERT_TRUE(pty.finish(5, 2s));
        EXPECT_EQ(pty.bytes(), "hello");
    }
    {
        bench::PtyCapture pty(0);
        pty.redirect_stdout();
    }  // the destructor puts it back when the benchmark did not
    EXPECT_EQ(stdout_inode(), original);
}

// ---- The story pace's draws -------------------------------------------------------------------

TEST(StoryPauses, AreTheSameSequenceForTheSameSeedAndWithinTheStoryRange) {
    const std::vector<int> first = bench::draw_story_pauses(7, 500);
    std::rand();  // whatever drew in between, the seed starts the sequence over
    const std::vector<int> again = bench::draw_story_pauses(7, 500);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, bench::draw_story_pauses(8, 500));
    ASSERT_EQ(first.size(), 500u);
    EXPECT_EQ(*std::min_element(first.begin(), first.end()), 50);
    EXPECT_EQ(*std::max_element(first.begin(), first.end()), 99);
}

// ---- Gaps against pauses ----------------------------------------------------------------------

TEST(GapErrors, CompareEachGapWithThePauseOfTheEarlierCharacter) {
    const Clock::time_point start{};
    const std::vector<int> pauses{60, 80, 55};
    // Arrivals at 0, 60.25, 139.75 (80 - 0.5 after the previous), 194.75: the last pause has no gap.
    const std::vector<Clock::time_point> arrivals{start, start + 60250us, start + 139750us, start + 194750us};
    const std::vector<double> errors = bench::gap_errors_ms(arrivals, pauses);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NEAR(errors[0], 0.25, 1e-9);
    EXPECT_NEAR(errors[1], 0.50, 1e-9);  // early counts as much as late
    EXPECT_NEAR(errors[2], 0.00, 1e-9);
}

TEST(GapErrors, StopAtTheShorterOfArrivalsAndPauses) {
    const Clock::time_point start{};
    const std::vector<Clock::time_point> arrivals{start, start + 50ms, start + 100ms};
    EXPECT_EQ(bench::gap_errors_ms(arrivals, {50, 50, 50, 50}).size(), 2u);
    EXPECT_EQ(bench::gap_errors_ms(arrivals, {50}).size(), 1u);
    EXPECT_TRUE(bench::gap_errors_ms({start}, {50}).empty());
}

// ---- Percentiles --------------------------------------------------------------------------------

TEST(Percentile, IsTheNearestRankOfTheSortedValues) {
    const std::vector<double> values{40, 10, 30, 20};
    EXPECT_EQ(bench::percentile(values, 25), 10);
    EXPECT_EQ(bench::percentile(values, 26), 20);
    EXPECT_EQ(bench::percentile(values, 50), 20);
    EXPECT_EQ(bench::percentile(values, 99), 40);
    EXPECT_EQ(bench::percentile(values, 100), 40);
}

TEST(Percentile, OfTheBenchmarksOwnCounts) {
    // 1..100 and 1..299 (the story benchmark's gap count), shuffled.
    for (const int count : {100, 299}) {
        std::vector<double> values;
        for (int i = 1; i <= count; ++i) {
            values.push_back(i);
        }
        std::shuffle(values.begin(), values.end(), std::mt19937(count));
        const int p99_rank = count == 100 ? 99 : 297;  // ceil(0.99 * 299) = 297
        EXPECT_EQ(bench::percentile(values, 50), count == 100 ? 50 : 150);
        EXPECT_EQ(bench::percentile(values, 99), p99_rank);
        EXPECT_EQ(bench::percentile(values, 100), count);
    }
}

TEST(Percentile, OfOneValueOrNone) {
    EXPECT_EQ(bench::percentile({3.5}, 1), 3.5);
    EXPECT_EQ(bench::percentile({3.5}, 99), 3.5);
    EXPECT_EQ(bench::percentile({}, 99), 0.0);
}

}  // namespace
