#include "conversion/progress_monitor.h"

#include <algorithm>

std::atomic<bool> progressPollDue{false};

ProgressReading ProgressMonitor::beginJob() {
    timeLeft.reset();
    console.buffer.clear();
    last_ = ProgressReading{};
    return last_;
}

std::string ProgressMonitor::timeLeftText(std::int64_t frames, std::int64_t totalPlusOne) {
    timeLeft.observe(frames, totalPlusOne);
    return timeLeftPhrase(timeLeft.secondsLeft());
}

ProgressReading ProgressMonitor::poll(std::uint64_t totalFrames) {
    console.read();
    const std::int64_t frames = console.readFrameCount();
    ProgressReading reading = readProgress(frames, totalFrames);
    // Once a poll of this job passed 95 % the job stays finished; a later row without a
    // count (a warning line) does not take that back.
    if (reading.finished) {
        reading.finishedAt = SDL_GetTicks();
    } else {
        reading.finished = last_.finished;
        reading.finishedAt = last_.finishedAt;
    }
    const std::int64_t totalPlusOne =
        static_cast<std::int64_t>(std::min<std::uint64_t>(totalFrames, INT64_MAX - 1)) + 1;
    const std::string timeText = timeLeftText(frames, totalPlusOne);
    reading.secondsLeft = timeLeft.secondsLeft();
    reading.text = std::to_string(reading.percent) + "% " + timeText;
    last_ = reading;
    return reading;
}

ProgressReading ProgressMonitor::endJob(JobOutcome outcome) {
    ProgressReading reading = last_;
    reading.text.clear();
    if (outcome == JobOutcome::Completed) {
        reading.progress = 1.0f;
        reading.shown = 1.0f;
        reading.percent = 100;
        reading.finished = true;
        reading.finishedAt = SDL_GetTicks();
    } else {
        reading.finished = false;
        reading.finishedAt = 0;
    }
    last_ = reading;
    return reading;
}

namespace {

Uint32 raisePollDue(Uint32 interval, void*) {
    progressPollDue = true;
    return interval;
}

}  // namespace

SDL_TimerID startProgressPollTimer() { return SDL_AddTimer(500, raisePollDue, nullptr); }

void stopProgressPollTimer(SDL_TimerID timer) {
    if (timer) SDL_RemoveTimer(timer);
}
