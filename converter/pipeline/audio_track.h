#pragma once
// The audio of the output: the source's audio copied when the container takes its codec,
// otherwise decoded and encoded to AAC. Runs on the reader thread; hands finished packets
// to a sink (the muxer), which interleaves them with the video.
#include <cstdint>
#include <functional>
#include <string>

#include "converter/cli/converter_options.h"
#include "media/av_handles.h"

namespace kalo::converter {

class AudioTrack {
public:
    // Receives a packet with timestamps in `timeBase`; returns false to stop.
    using PacketSink = std::function<bool(AVPacket* packet, AVRational timeBase)>;

    // `window` is what to keep; `startOffsetUs` makes the file start at 0.
    bool open(const AVStream* stream, AudioChoice choice, const AVOutputFormat* container,
              const TimeWindow& window, std::int64_t startOffsetUs, std::string& error);

    bool copying() const { return copying_; }

    // Stream parameters for the output (codec, rate, layout, extradata) and their time base.
    bool describeOutput(AVCodecParameters* parameters, AVRational& timeBase) const;

    // One packet of the source's audio stream. Returns false (with `error`) on a failure
    // that must end the conversion; a packet that fails to decode is only reported.
    bool handle(const AVPacket* packet, const PacketSink& sink, std::string& error);

    // End of the input: drains the decoder and encoder.
    bool finish(const PacketSink& sink, std::string& error);

    // True once everything up to the window's end was read.
    bool pastWindowEnd() const { return pastEnd_; }

private:
    bool openEncoder(std::string& error);
    bool decodeAndEncode(const AVPacket* packet, const PacketSink& sink, std::string& error);
    bool encodeFromFifo(bool drain, const PacketSink& sink, std::string& error);
    bool sendToEncoder(AVFrame* frame, const PacketSink& sink, std::string& error);

    const AVStream* stream_ = nullptr;
    bool copying_ = false;
    TimeWindow window_;
    std::int64_t startOffsetUs_ = 0;
    bool pastEnd_ = false;

    CodecContextPtr decoder_;
    CodecContextPtr encoder_;
    ResamplerPtr resampler_;
    AudioFifoPtr fifo_;
    FramePtr decoded_;
    FramePtr chunk_;
    PacketPtr encoded_;
    std::int64_t nextPts_ = AV_NOPTS_VALUE;  // in 1/sample_rate of the encoder
};

}  // namespace kalo::converter
