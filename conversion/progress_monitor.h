#pragma once
// Follows a running job from the console: twice a second the converter screen asks it to
// read the converter's status row and gets back a progress reading (fraction done, the
// "finished" state and the "42% 剩余3 分钟." text), which the screen applies to its bar.
#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "conversion/console_manager.h"
#include "conversion/conversion_job.h"
#include "conversion/progress_reading.h"
#include "conversion/time_left_estimator.h"

class ProgressMonitor {
public:
    ConsoleManager console;
    TimeLeftEstimator timeLeft;

    // On event 10: a new job starts from nothing, not from the last counts of the previous
    // one. The reading is an empty bar without the completion state.
    ProgressReading beginJob();

    // One poll: reads the console row and computes the reading. `totalFrames` is the media
    // engine's frame count of the source.
    ProgressReading poll(std::uint64_t totalFrames);

    // The time-left part of the text after one poll's frame count.
    std::string timeLeftText(std::int64_t frames, std::int64_t totalPlusOne);

    // On event 11: only a job that completed shows the completion state (a short job may
    // end between two polls); a failed or stopped one never does, and keeps its last
    // fraction.
    ProgressReading endJob(JobOutcome outcome);

    // The reading of the last poll (or job boundary).
    const ProgressReading& last() const { return last_; }

private:
    ProgressReading last_;
};

// Raised by the 500 ms poll timer, cleared by the poll.
extern std::atomic<bool> progressPollDue;

// The poll timer of the converter screen: sets progressPollDue every 500 ms.
SDL_TimerID startProgressPollTimer();
void stopProgressPollTimer(SDL_TimerID timer);
