// Reading progress back from the console: the terminal screen model the POSIX console is
// drained into, the frame count of a status row and the time left. What a reading does to
// the progress bar is tested with the screen.
#include <gtest/gtest.h>

#include "conversion/console_manager.h"
#include "conversion/progress_monitor.h"
#include "platform/posix/terminal_screen.h"
#include "platform/text_encoding.h"

using kalo::platform::TerminalScreen;

TEST(TerminalScreenModel, KeepsTheRowsAProgramWouldLeaveOnATerminal) {
    struct Case {
        const char* what;
        std::vector<std::string> writes;
        std::uint64_t cursorRow;
        const wchar_t* row;  // the cursor row
    } cases[] = {
        {"carriage return rewrites in place", {"frame=    1 fps=0.0 q=0.0\rframe=   12"}, 0,
         L"frame=   12 fps=0.0 q=0.0"},
        {"line feed starts a new row", {"first\nsecond"}, 1, L"second"},
        {"terminal's own CR LF", {"one\r\ntwo\r\n"}, 2, L""},
        {"colours are skipped", {"\x1b[1;33mwarning\x1b[0m: x"}, 0, L"warning: x"},
        {"window title is skipped", {"\x1b]0;title\x07text"}, 0, L"text"},
        {"erase to end of row", {"frame=  999 speed=1x\rframe= 1000\x1b[K"}, 0, L"frame= 1000"},
        {"escape split over two reads", {"a\x1b[3", "1mb"}, 0, L"ab"},
        {"UTF-8 split over two reads", {"\xe8\xa7", "\x86\xe9\xa2\x91"}, 0, L"\u89c6\u9891"},
        {"bad bytes become U+FFFD", {"a\xff" "b"}, 0, L"a\ufffdb"},
        {"backspace and tab", {"ab\bc\td"}, 0, L"ac      d"},
    };
    for (const Case& c : cases) {
        TerminalScreen screen;
        for (const std::string& bytes : c.writes) screen.write(bytes);
        EXPECT_EQ(screen.cursorRow(), c.cursorRow) << c.what;
        EXPECT_EQ(screen.row(screen.cursorRow()), c.row) << c.what;
    }
}

TEST(TerminalScreenModel, KeepsOnlyRecentRowsAndBoundedWidth) {
    TerminalScreen screen(4, 10);
    for (int i = 0; i < 10; ++i) screen.write("row " + std::to_string(i) + "\n");
    screen.write("a row much longer than ten characters");
    EXPECT_EQ(screen.cursorRow(), 10u);
    EXPECT_EQ(screen.row(10), L"a row much");
    EXPECT_EQ(screen.row(9), L"row 9");
    EXPECT_EQ(screen.row(7), L"row 7");
    EXPECT_EQ(screen.row(6), L"");  // no longer kept
    screen.write("\rshort");
    EXPECT_EQ(screen.row(10), L"short much");
}

TEST(FrameCount, ReadsTheWholeNumberAfterFrame) {
    struct Case {
        const wchar_t* row;
        std::int64_t frames;
    } cases[] = {
        {L"frame=    0 fps=0.0 q=0.0 size=       0kB", 0},
        {L"frame=  123 fps= 25 q=28.0 size=    1024", 123},
        {L"frame=99999 fps= 25 q=28.0 size=   90000", 99999},
        {L"frame=123456 fps= 25 q=28.0 size=  90000", 123456},  // not cut to 12345
        {L"frame=2147483648 fps=25", 2147483648LL},
        {L"[h264 @ 0x55d1c2] non-existing PPS 0 refe", -1},      // a warning row
        {L"", -1},
        {L"frame=     ", -1},                                     // rewritten up to the count
        {L"fram", -1},
        {L"  frame=   77 fps=2.0", 77},
    };
    for (const Case& c : cases) {
        ConsoleManager console;
        console.buffer = c.row;
        EXPECT_EQ(console.readFrameCount(), c.frames) << kalo::wideToUtf8(c.row);
    }
}

TEST(TimeLeft, PhraseChangesUnitAtAMinuteAndAnHour) {
    struct Case {
        std::uint64_t seconds;
        const char* text;
    } cases[] = {{0, "剩余0 秒钟."},   {59, "剩余59 秒钟."},   {60, "剩余1 分钟."},
                 {150, "剩余2 分钟."}, {3599, "剩余59 分钟."}, {3600, "剩余1 小时."},
                 {7300, "剩余2 小时."}};
    for (const Case& c : cases) EXPECT_EQ(timeLeftPhrase(c.seconds), c.text) << c.seconds;
}

TEST(TimeLeft, EstimateIsInSecondsOfPollInterval) {
    // One frame gained in one poll (half a second) is two frames a second: 2 s frames
    // remaining take s seconds.
    for (std::uint64_t seconds : {59u, 60u, 3599u, 3600u}) {
        ProgressMonitor monitor;
        const std::int64_t totalPlusOne = 1 + 2 * static_cast<std::int64_t>(seconds);
        EXPECT_EQ(monitor.timeLeftText(1, totalPlusOne), timeLeftPhrase(seconds)) << seconds;
        EXPECT_EQ(monitor.timeLeft.secondsLeft(), seconds);
    }
}

TEST(TimeLeft, FollowsASteadyRateThroughPollsWithoutChange) {
    // 50 frames a second, seen as a change every other poll (the status line is rewritten
    // once a second); 1150 frames in all.
    TimeLeftEstimator estimator;
    const std::int64_t counts[] = {0, 50, 50, 100, 100, 150};
    for (std::int64_t count : counts) estimator.observe(count, 1150);
    // 1000 frames left at 50 a second.
    EXPECT_GE(estimator.secondsLeft(), 19u);
    EXPECT_LE(estimator.secondsLeft(), 22u);

    // Then a change on every poll at the same rate: the estimate stays near the truth.
    for (std::int64_t count = 175; count <= 650; count += 25) estimator.observe(count, 1150);
    EXPECT_GE(estimator.secondsLeft(), 9u);   // 500 frames left: 10 s
    EXPECT_LE(estimator.secondsLeft(), 11u);
}

TEST(TimeLeft, UnchangedCountsAndCountsPastTheTotal) {
    ProgressMonitor monitor;
    monitor.timeLeftText(100, 1001);
    const float estimate = monitor.timeLeft.estimate;
    const std::string text = monitor.timeLeftText(100, 1001);
    EXPECT_EQ(monitor.timeLeftText(100, 1001), text);
    EXPECT_EQ(monitor.timeLeftText(-1, 1001), text);  // a row without a count
    EXPECT_EQ(monitor.timeLeft.estimate, estimate);

    // The count passes the expected total (the length was underestimated): 0, not a wrap.
    ProgressMonitor past;
    EXPECT_EQ(past.timeLeftText(1200, 1001), "剩余0 秒钟.");
    EXPECT_EQ(past.timeLeftText(1300, 1001), "剩余0 秒钟.");
    EXPECT_LT(past.timeLeft.estimate, 0.0f);

    // A count that goes back starts from there without a wild estimate.
    TimeLeftEstimator estimator;
    estimator.observe(500, 1001);
    const float before = estimator.estimate;
    estimator.observe(20, 1001);
    EXPECT_EQ(estimator.estimate, before);
    EXPECT_EQ(estimator.lastFrames, 20);
}
