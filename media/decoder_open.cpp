#include "media/decoder_open.h"

namespace kalo {

DecoderOpenResult openDecoder(const AVStream* stream, int threads, CodecContextPtr& context) {
    DecoderOpenResult result;
    context.reset();
    auto fail = [&](DecoderOpenResult::Failed failed, int code) {
        context.reset();
        result.failed = failed;
        result.code = code;
        return result;
    };
    result.codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!result.codec) return fail(DecoderOpenResult::Failed::NoDecoder, AVERROR_DECODER_NOT_FOUND);
    context.reset(avcodec_alloc_context3(result.codec));
    if (!context) return fail(DecoderOpenResult::Failed::Allocate, AVERROR(ENOMEM));
    int code = avcodec_parameters_to_context(context.get(), stream->codecpar);
    if (code < 0) return fail(DecoderOpenResult::Failed::Parameters, code);
    context->pkt_timebase = stream->time_base;
    context->thread_count = threads;
    code = avcodec_open2(context.get(), result.codec, nullptr);
    if (code < 0) return fail(DecoderOpenResult::Failed::Open, code);
    result.code = code;
    return result;
}

}  // namespace kalo
