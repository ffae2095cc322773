#pragma once
// The main window's own frame timing, for the UI benchmark: the time from process start to
// the first presented frame, and each frame's time from the moment the screen took up its
// cause (the first event it handled, or the start of drawing for a timed frame) to the
// present, kept apart for frames drawn while a conversion runs. The window draws only when
// something changed, so the gaps between frames say nothing about smoothness; how long a
// change takes to reach the screen does. Recorded only when asked for (environment variable
// KALO_FRAME_TIMING set to anything but "0"); the summary is printed at the screen's quit.
#include <chrono>
#include <string>
#include <vector>

class PresentTiming {
public:
    PresentTiming();

    bool enabled() const { return on; }
    // When the screen starts on a frame's work: handling an event or drawing. Only the
    // first call before a present counts.
    void workStarted();
    // After each presented frame; `converting` says which set the frame belongs to.
    void framePresented(bool converting);
    // One line: "frame timing: first=... ms idle median=... p99=... max=... (n) converting
    // median=... p99=... (n) first_at=<ms since the Unix epoch>". `first` counts from the
    // program's static start, after the system loaded its libraries; `first_at` lets a
    // launcher that noted its own clock measure from the real start.
    std::string summary() const;

    // The q-quantile (0..1) of `values`, nearest rank; 0 when empty.
    static double quantile(std::vector<double> values, double q);

private:
    using Clock = std::chrono::steady_clock;
    bool on = false;
    bool first = true;
    double firstFrameMs = 0.0;
    double firstFrameUnixMs = 0.0;
    bool working = false;
    Clock::time_point workStart;
    std::vector<double> idleMs;
    std::vector<double> convertingMs;
};
