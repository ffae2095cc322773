#pragma once
// Opening a source file and choosing the streams both programs read from it: the best
// video stream that is a real video (never an attached cover picture), and the best audio
// stream that belongs with it. Every other stream is discarded, so the demuxer does not
// hand out its packets.
#include <string>

#include "media/av_handles.h"

namespace kalo {

struct SourceStreams {
    InputContextPtr context;
    AVStream* video = nullptr;
    AVStream* audio = nullptr;  // nullptr: none
};

enum class SourceOpenResult {
    Opened,
    Unreadable,      // not a file FFmpeg can open (missing, unreadable, not media)
    NoStreamInfo,    // opened, but its streams cannot be probed
    NoVideo,         // no video stream other than cover pictures
    NoPictureSize,   // the video stream has no picture size (a damaged file)
};

// The index of the video stream to show, or -1: av_find_best_stream's choice unless that
// is an attached picture, then the first video stream that is not one.
int chooseVideoStream(const AVFormatContext* context);

// Opens `utf8Path`. `interrupt` (may be null) ends a blocking open or read, now and later.
// On anything but Opened, `code` holds FFmpeg's error (0 when FFmpeg reported none) and
// `source` is empty.
SourceOpenResult openSource(const std::string& utf8Path, const AVIOInterruptCB* interrupt,
                            SourceStreams& source, int& code);

}  // namespace kalo
