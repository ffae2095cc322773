#pragma once
// Opening the decoder of a source stream, the same way for the preview and the converter:
// the stream's parameters and packet time base, a chosen number of threads.
#include "media/av_handles.h"

namespace kalo {

struct DecoderOpenResult {
    enum class Failed { Nothing, NoDecoder, Allocate, Parameters, Open };
    Failed failed = Failed::Nothing;
    int code = 0;                    // FFmpeg's result (negative on failure)
    const AVCodec* codec = nullptr;  // the decoder found, for messages
    bool ok() const { return failed == Failed::Nothing; }
};

// Opens a decoder for `stream` into `context` (replacing what it held) using `threads`
// threads (0: one per core). On failure `context` is empty.
DecoderOpenResult openDecoder(const AVStream* stream, int threads, CodecContextPtr& context);

}  // namespace kalo
