#pragma once
// Follows a running job from the console: twice a second the converter screen asks it to
// read the converter's status row, and it writes the fraction done, the knob position, the
// "finished" state and the "42% 剩余3 分钟." text into the conversion progress bar.
#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "conversion/console_manager.h"
#include "conversion/conversion_job.h"
#include "conversion/time_left_estimator.h"

class FinalProgressBar;

// What one poll computes, apart from the time left.
struct ProgressReading {
    float progress = 0.0f;  // frames / (total + 1), never below 0
    int knobX = 0;          // rect.x + trunc(rect.w * progress), kept within the bar
    bool finished = false;  // progress above 0.95
    int percent = 0;        // trunc(progress * 100), at most 100
};

ProgressReading readProgress(std::int64_t frames, std::uint64_t totalFrames, const SDL_Rect& bar);

class ProgressMonitor {
public:
    ConsoleManager console;
    TimeLeftEstimator timeLeft;

    // On event 10: a new job starts from nothing, not from the last counts of the previous
    // one; the bar is emptied and its completion state cleared.
    void beginJob(FinalProgressBar& bar);

    // One poll: reads the console row and writes progress, knob, finished/finishedAt and
    // the text of the bar. `totalFrames` is the media engine's frame count of the source.
    void updateFromConsole(FinalProgressBar& bar, std::uint64_t totalFrames);

    // The time-left part of the text after one poll's frame count.
    std::string timeLeftText(std::int64_t frames, std::int64_t totalPlusOne);

    // On event 11: only a job that completed shows the completion state (a short job may
    // end between two polls); a failed or stopped one never does.
    void endJob(FinalProgressBar& bar, JobOutcome outcome);
};

// Raised by the 500 ms poll timer, cleared by the poll.
extern std::atomic<bool> progressPollDue;

// The poll timer of the converter screen: sets progressPollDue every 500 ms.
SDL_TimerID startProgressPollTimer();
void stopProgressPollTimer(SDL_TimerID timer);
