#pragma once
// The last thread: the filters after `depth`, libx264 and the muxer. On a stop it flushes
// what the encoder already holds, within a time budget, so the file ends soon and plays.
#include <atomic>
#include <chrono>
#include <cstdint>

#include "converter/filters/video_filter_graph.h"
#include "converter/pipeline/output_muxer.h"
#include "converter/pipeline/pipeline_control.h"
#include "converter/pipeline/pipeline_queues.h"
#include "converter/pipeline/video_encoder.h"

namespace kalo::converter {

struct EncoderStageParts {
    BoundedQueue<FramePtr>& input;
    VideoFilterGraph& filters;
    VideoEncoder& encoder;
    OutputMuxer& muxer;
    PipelineControl& control;
    PipelineCounters& counters;
    PipelineQueues& queues;
};

class EncoderStage {
public:
    // How long a stopped job may spend flushing the encoder's delayed pictures.
    static constexpr double kStopFlushBudgetSeconds = 0.6;

    explicit EncoderStage(EncoderStageParts parts) : p_(parts) {}

    void run();

    // True when every picture that reached the encoder came out (not stopped, not failed).
    bool flushedFully() const { return flushedFully_.load(); }
    bool finished() const { return finished_.load(); }

private:
    bool drainFilters();
    bool encode(FramePtr picture);
    bool writePacket(AVPacket* packet);
    bool fail(const std::string& message);
    void finishStopped();
    static std::chrono::steady_clock::duration stopFlushBudget();

    EncoderStageParts p_;
    FramePtr filtered_;
    std::int64_t lastPts_ = AV_NOPTS_VALUE;
    std::atomic<bool> flushedFully_{false};
    std::atomic<bool> finished_{false};
};

}  // namespace kalo::converter
