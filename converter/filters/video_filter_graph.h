#pragma once
// One libavfilter graph with a single video input and output: buffer -> the user's filter
// text -> buffersink, the sink limited to planar YUV 4:2:0 (libavfilter converts when a
// filter in the text works in another format, e.g. lut3d in RGB).
#include <string>
#include <utility>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

#include "converter/pipeline/av_handles.h"

namespace kalo::converter {

struct VideoFormat {
    int width = 0;
    int height = 0;
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    AVRational timeBase{0, 1};
    AVRational sampleAspect{0, 1};
    AVRational frameRate{0, 1};  // {0,1}: unknown or variable
};

class VideoFilterGraph {
public:
    enum class Pull { Frame, NeedMore, End, Error };

    // `description` may be empty (pictures pass through, converted to YUV 4:2:0 when
    // needed). Returns false with a one-line `error`, which names the failing filter text.
    bool configure(const std::string& description, const VideoFormat& input, std::string& error);

    // Hands a picture to the graph (takes its data; `frame` is left blank). nullptr ends
    // the stream.
    bool push(AVFrame* frame, std::string& error);

    // Takes the next filtered picture into `frame`.
    Pull pull(AVFrame* frame, std::string& error);

    // Pulls every picture that is ready, each moved out of `scratch` into a frame of its
    // own and handed to `deliver`, which returns false to stop. True when the graph needs
    // more input or has ended; false with `error` set when the graph failed or memory ran
    // out, and false with `error` empty when `deliver` stopped.
    template <typename Deliver>
    bool drain(AVFrame* scratch, Deliver&& deliver, std::string& error) {
        for (;;) {
            switch (pull(scratch, error)) {
            case Pull::NeedMore:
            case Pull::End:
                return true;
            case Pull::Error:
                return false;
            case Pull::Frame:
                break;
            }
            FramePtr picture = makeFrame();
            if (!picture) {
                error = "Out of memory";
                return false;
            }
            av_frame_move_ref(picture.get(), scratch);
            if (!deliver(std::move(picture))) return false;
        }
    }

    const VideoFormat& input() const { return input_; }
    const VideoFormat& output() const { return output_; }
    const std::string& description() const { return description_; }

private:
    FilterGraphPtr graph_;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    VideoFormat input_;
    VideoFormat output_;
    std::string description_;
};

}  // namespace kalo::converter
