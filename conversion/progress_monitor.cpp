#include "conversion/progress_monitor.h"

#include <algorithm>
#include <cmath>

#include "widgets/final_progress_bar.h"

std::atomic<bool> progressPollDue{false};

ProgressReading readProgress(std::int64_t frames, std::uint64_t totalFrames, const SDL_Rect& bar) {
    ProgressReading reading;
    reading.progress = std::max(0.0f, static_cast<float>(frames) /
                                          static_cast<float>(totalFrames + 1));
    // Without a known length the raw count can pass 1: the bar and the percentage stop at
    // their ends instead of running off the bar.
    const float shown = std::min(reading.progress, 1.0f);
    reading.knobX = bar.x + static_cast<int>(std::trunc(static_cast<float>(bar.w) * shown));
    reading.finished = static_cast<double>(reading.progress) > 0.95;
    reading.percent = static_cast<int>(std::trunc(shown * 100.0f));
    return reading;
}

void ProgressMonitor::beginJob(FinalProgressBar& bar) {
    timeLeft.reset();
    console.buffer.clear();
    bar.progress = 0.0f;
    bar.knobRect.x = bar.rect.x;
    bar.finished = false;
    bar.finishedAt = 0;
}

std::string ProgressMonitor::timeLeftText(std::int64_t frames, std::int64_t totalPlusOne) {
    timeLeft.observe(frames, totalPlusOne);
    return timeLeftPhrase(timeLeft.secondsLeft());
}

void ProgressMonitor::updateFromConsole(FinalProgressBar& bar, std::uint64_t totalFrames) {
    console.read();
    const std::int64_t frames = console.readFrameCount();
    const ProgressReading reading = readProgress(frames, totalFrames, bar.rect);
    bar.progress = reading.progress;
    bar.knobRect.x = reading.knobX;
    if (reading.finished) {
        bar.finished = true;
        bar.finishedAt = SDL_GetTicks();
    }
    const std::int64_t totalPlusOne =
        static_cast<std::int64_t>(std::min<std::uint64_t>(totalFrames, INT64_MAX - 1)) + 1;
    const std::string line =
        std::to_string(reading.percent) + "% " + timeLeftText(frames, totalPlusOne);
    if (bar.text) bar.text->setText(line);
}

void ProgressMonitor::endJob(FinalProgressBar& bar, JobOutcome outcome) {
    if (outcome == JobOutcome::Completed) {
        bar.progress = 1.0f;
        bar.knobRect.x = bar.rect.x + bar.rect.w;
        bar.finished = true;
        bar.finishedAt = SDL_GetTicks();
    } else {
        bar.finished = false;
        bar.finishedAt = 0;
    }
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
