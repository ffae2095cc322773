#pragma once
// libx264 as the command line configures it, plus what the output needs: yuv420p,
// global headers for MP4, the frame-packing SEI (arrangement 3, side by side) when the
// pictures are stereo pairs, and exact durations for every packet (one picture is held
// back until the next one tells how long it lasts), so the source's timing survives
// variable frame rates.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "converter/filters/video_filter_graph.h"
#include "media/av_handles.h"

namespace kalo::converter {

struct VideoEncoderSettings {
    std::string profile;       // empty: encoder default
    std::string preset;        // empty: encoder default
    std::int64_t bitRate = 0;  // 0: encoder default
    int threads = 0;           // 0: automatic
    bool sideBySide = false;   // write the frame-packing SEI
    bool globalHeader = true;  // the container wants the codec setup out of band
};

class VideoEncoder {
public:
    // Receives a packet with timestamps and duration in the encoder's time base.
    using PacketSink = std::function<bool(AVPacket* packet)>;

    bool open(const VideoFormat& format, const VideoEncoderSettings& settings, std::string& error);

    const AVCodecContext* context() const { return context_.get(); }

    // Takes the picture (timestamps in the format's time base).
    bool encode(FramePtr frame, const PacketSink& sink, std::string& error);

    // Sends the held picture and drains the encoder. `keepGoing` is asked between packets;
    // when it says no, the remaining delayed pictures are abandoned (a stopped job).
    bool finish(const PacketSink& sink, const std::function<bool()>& keepGoing, std::string& error);

    // True once finish() has taken every delayed picture out of the encoder.
    bool drained() const { return drained_; }

    double lastQuality() const { return lastQuality_; }

private:
    bool send(AVFrame* frame, std::int64_t duration, const PacketSink& sink, std::string& error);
    bool receive(const PacketSink& sink, std::string& error, const std::function<bool()>* keepGoing);

    CodecContextPtr context_;
    PacketPtr packet_;
    FramePtr held_;
    std::int64_t lastDuration_ = 0;
    std::int64_t nominalDuration_ = 0;
    std::map<std::int64_t, std::int64_t> durations_;  // pts -> duration of pictures in flight
    double lastQuality_ = -1;
    bool drained_ = false;
};

}  // namespace kalo::converter
