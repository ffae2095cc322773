#pragma once
// The first thread: reads the source, decodes the video, runs the filters before `depth`
// and queues the resulting YUV 4:2:0 pictures; hands the audio to its track on the way.
#include <atomic>
#include <cstdint>
#include <string>

#include "converter/cli/converter_options.h"
#include "converter/filters/video_filter_graph.h"
#include "converter/pipeline/audio_track.h"
#include "converter/pipeline/media_input.h"
#include "converter/pipeline/output_muxer.h"
#include "converter/pipeline/pipeline_control.h"
#include "converter/pipeline/pipeline_queues.h"
#include "converter/pipeline/video_decoder.h"

namespace kalo::converter {

struct ReaderStageParts {
    MediaInput& input;
    VideoDecoder& decoder;
    VideoFilterGraph& filters;  // configured; rebuilt if the source's picture size changes
    AudioTrack* audio;          // nullptr: no audio in the output
    OutputMuxer& muxer;
    TimeWindow window;
    PipelineControl& control;
    PipelineQueues& queues;
    BoundedQueue<FramePtr>& output;  // where the filtered pictures go
};

class ReaderStage {
public:
    explicit ReaderStage(ReaderStageParts parts) : p_(parts) {}

    void run();

    // True when the whole requested part of the input was read (not stopped, not failed).
    bool reachedEnd() const { return reachedEnd_.load(); }

private:
    bool readLoop();
    bool decodeVideo(const AVPacket* packet);
    bool takePicture(AVFrame* frame);
    bool filterPicture(AVFrame* frame);
    bool drainFilters();
    bool rebuildFilters(const AVFrame* frame);
    bool checkComplete();
    bool fail(const std::string& message);

    ReaderStageParts p_;
    std::atomic<bool> reachedEnd_{false};
    bool videoPastEnd_ = false;
    std::int64_t picturesOut_ = 0;
    std::int64_t lastVideoEndUs_ = -1;  // relative to the file's start
    std::int64_t lastPacketUs_ = 0;
    FramePtr decoded_;
    FramePtr filtered_;
};

}  // namespace kalo::converter
