#pragma once
// The converter's filter graphs: the shared single-input graph (media/filter_graph.h) with
// its sink limited to planar YUV 4:2:0, failures as one-line messages that name the
// filter text, and a loop that hands every ready picture on.
#include <string>
#include <utility>

extern "C" {
#include <libavutil/frame.h>
}

#include "media/av_handles.h"
#include "media/filter_graph.h"
#include "media/video_format.h"

namespace kalo::converter {

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

    const VideoFormat& input() const { return graph_.input(); }
    const VideoFormat& output() const { return graph_.output(); }
    const std::string& description() const { return graph_.description(); }

private:
    FilterGraph graph_;
};

}  // namespace kalo::converter
