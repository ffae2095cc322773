// What the screen makes of the conversion's progress readings: the fraction, the end of the
// done part, the completion state and the text of the conversion progress bar.
#include <gtest/gtest.h>

#include "conversion/progress_monitor.h"
#include "screen/progress_display.h"
#include "widgets/final_progress_bar.h"
#include "widgets/text_base.h"

TEST(ProgressDisplay, FractionKnobAndFinished) {
    FinalProgressBar bar(nullptr, SDL_Rect{100, 600, 800, 20});
    struct Case {
        std::int64_t frames;
        std::uint64_t total;
        float progress;
        int knobX;
        bool finished;
        int percent;
    } cases[] = {
        {-1, 999, 0.0f, 100, false, 0},
        {0, 999, 0.0f, 100, false, 0},
        {500, 999, 0.5f, 500, false, 50},
        {950, 999, 0.95f, 860, false, 95},   // exactly 0.95 is not finished
        {951, 999, 0.951f, 860, true, 95},
        {1000, 999, 1.0f, 900, true, 100},
        {5, 0, 5.0f, 900, true, 100},         // no known length: kept on the bar
        {200000, 199999, 1.0f, 900, true, 100},
    };
    for (const Case& c : cases) {
        const ProgressReading reading = readProgress(c.frames, c.total);
        EXPECT_EQ(reading.percent, c.percent) << c.frames;
        applyProgressReading(bar, reading);
        EXPECT_FLOAT_EQ(bar.progress, c.progress) << c.frames;
        EXPECT_EQ(bar.knobRect.x, c.knobX) << c.frames;
        EXPECT_EQ(bar.finished, c.finished) << c.frames;
    }
}

TEST(ProgressDisplay, JobBoundariesResetAndDecideTheCompletionState) {
    FinalProgressBar bar(nullptr, SDL_Rect{100, 600, 800, 20});
    bar.text = TextBase::create(nullptr, nullptr, SDL_Color{0, 0, 0, 255}, "42% 剩余3 分钟.",
                                {1048, 600});
    ProgressMonitor monitor;
    // The end of an earlier job left its state behind.
    monitor.timeLeft.observe(900, 1000);
    bar.finished = true;
    bar.finishedAt = 1234;
    bar.progress = 0.97f;
    bar.knobRect.x = 876;

    applyProgressReading(bar, monitor.beginJob());
    EXPECT_FALSE(bar.finished);
    EXPECT_EQ(bar.finishedAt, 0u);
    EXPECT_EQ(bar.progress, 0.0f);
    EXPECT_EQ(bar.knobRect.x, 100);
    EXPECT_EQ(monitor.timeLeft.lastFrames, 0);
    EXPECT_EQ(bar.text->text, "42% 剩余3 分钟.");  // a boundary brings no text of its own

    // A failed or stopped job shows no completion, even past 95 %.
    bar.finished = true;
    applyProgressReading(bar, monitor.endJob(JobOutcome::Failed));
    EXPECT_FALSE(bar.finished);
    bar.finished = true;
    applyProgressReading(bar, monitor.endJob(JobOutcome::Stopped));
    EXPECT_FALSE(bar.finished);
    // A completed one does, even when it ended between two polls.
    applyProgressReading(bar, monitor.endJob(JobOutcome::Completed));
    EXPECT_TRUE(bar.finished);
    EXPECT_EQ(bar.knobRect.x, 900);
}

TEST(ProgressDisplay, APollsTextReplacesTheBarsText) {
    FinalProgressBar bar(nullptr, SDL_Rect{0, 0, 800, 20});
    bar.text = TextBase::create(nullptr, nullptr, SDL_Color{0, 0, 0, 255}, "", {0, 0});
    ProgressReading reading = readProgress(250, 999);
    reading.text = "25% 剩余2 分钟.";
    applyProgressReading(bar, reading);
    EXPECT_EQ(bar.text->text, "25% 剩余2 分钟.");
    EXPECT_EQ(bar.knobRect.x, 200);
}
