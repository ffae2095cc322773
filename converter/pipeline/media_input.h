#pragma once
// The source file: opened and probed, its video (and first audio) stream chosen, read
// packet by packet. Knows the offset that makes output timestamps start at zero.
#include <cstdint>
#include <string>

#include "media/av_handles.h"

namespace kalo::converter {

class MediaInput {
public:
    enum class Read { Packet, End, Error, Interrupted };

    // Returns false with a one-line `error` naming the file. `interrupt` ends a blocking
    // open or read (an input that delivers nothing), now and for every later read.
    bool open(const std::string& path, const AVIOInterruptCB& interrupt, std::string& error);

    // Positions reading at the keyframe at or before `startUs` (input timeline relative to
    // the file's start); decoding then drops what comes before. Harmless when it fails.
    void seekTo(std::int64_t startUs);

    // Interrupted: the interrupt callback ended the read (a stop).
    Read read(AVPacket* packet, std::string& error);

    AVFormatContext* context() const { return context_.get(); }
    AVStream* videoStream() const { return videoStream_; }
    AVStream* audioStream() const { return audioStream_; }  // nullptr: none

    // Subtract from a timestamp (in AV_TIME_BASE units) to make the file start at 0.
    std::int64_t startOffsetUs() const { return startOffsetUs_; }

    // How long the file says it is, in microseconds; 0 when it does not say.
    std::int64_t declaredDurationUs() const;

    // Clockwise rotation of the picture for display, in degrees (0, 90, 180, 270), read the
    // way the preview reads it.
    int displayRotation() const;

    const std::string& path() const { return path_; }

private:
    InputContextPtr context_;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    std::int64_t startOffsetUs_ = 0;
    std::string path_;
};

}  // namespace kalo::converter
