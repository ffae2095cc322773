#include "converter/pipeline/audio_track.h"

#include "converter/console/console_log.h"
#include "media/av_error_text.h"
#include "media/decoder_open.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace kalo::converter {
namespace {

constexpr std::int64_t kAacBitRate = 192000;

bool aacTakesRate(const AVCodec* codec, int rate) {
    if (!codec->supported_samplerates) return true;
    for (const int* r = codec->supported_samplerates; *r; ++r)
        if (*r == rate) return true;
    return false;
}

}  // namespace

bool AudioTrack::open(const AVStream* stream, AudioChoice choice, const AVOutputFormat* container,
                      const TimeWindow& window, std::int64_t startOffsetUs, std::string& error) {
    stream_ = stream;
    window_ = window;
    startOffsetUs_ = startOffsetUs;
    const AVCodecID id = stream->codecpar->codec_id;
    const bool containerTakesIt = avformat_query_codec(container, id, FF_COMPLIANCE_NORMAL) == 1;
    if (choice == AudioChoice::Copy && !containerTakesIt) {
        error = std::string("The output container cannot hold '") + avcodec_get_name(id) +
                "' audio; use -c:a aac";
        return false;
    }
    copying_ = choice == AudioChoice::Copy || (choice == AudioChoice::Automatic && containerTakesIt);
    if (copying_) return true;

    LibraryErrorCapture capture;
    const DecoderOpenResult opened = openDecoder(stream, 1, decoder_);
    switch (opened.failed) {
    case DecoderOpenResult::Failed::Nothing:
        break;
    case DecoderOpenResult::Failed::NoDecoder:
        error = std::string("No decoder for the audio codec '") + avcodec_get_name(id) + "'; use -an to drop the audio";
        return false;
    case DecoderOpenResult::Failed::Allocate:
    case DecoderOpenResult::Failed::Parameters:
        error = "Cannot set up the audio decoder";
        return false;
    case DecoderOpenResult::Failed::Open:
        error = std::string("Cannot open the ") + opened.codec->name + " audio decoder: " +
                failureText(opened.code, capture.lastError());
        return false;
    }
    return openEncoder(error);
}

bool AudioTrack::openEncoder(std::string& error) {
    LibraryErrorCapture capture;
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!aac) {
        error = "No AAC encoder available";
        return false;
    }
    encoder_.reset(avcodec_alloc_context3(aac));
    const int rate = decoder_->sample_rate > 0 ? decoder_->sample_rate : 48000;
    encoder_->sample_rate = aacTakesRate(aac, rate) ? rate : 48000;
    encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    if (decoder_->ch_layout.nb_channels == 1)
        av_channel_layout_from_mask(&encoder_->ch_layout, AV_CH_LAYOUT_MONO);
    else
        av_channel_layout_from_mask(&encoder_->ch_layout, AV_CH_LAYOUT_STEREO);
    encoder_->bit_rate = kAacBitRate;
    encoder_->time_base = AVRational{1, encoder_->sample_rate};
    encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;  // MP4 keeps the codec setup in its header
    const int ret = avcodec_open2(encoder_.get(), aac, nullptr);
    if (ret < 0) {
        error = "Cannot open the AAC encoder: " + failureText(ret, capture.lastError());
        return false;
    }
    fifo_.reset(av_audio_fifo_alloc(encoder_->sample_fmt, encoder_->ch_layout.nb_channels, encoder_->frame_size * 4));
    decoded_ = makeFrame();
    chunk_ = makeFrame();
    encoded_ = makePacket();
    if (!fifo_ || !decoded_ || !chunk_ || !encoded_) {
        error = "Out of memory for the audio encoder";
        return false;
    }
    return true;
}

bool AudioTrack::describeOutput(AVCodecParameters* parameters, AVRational& timeBase) const {
    if (copying_) {
        if (avcodec_parameters_copy(parameters, stream_->codecpar) < 0) return false;
        parameters->codec_tag = 0;  // let the muxer pick its own tag for the codec
        timeBase = stream_->time_base;
        return true;
    }
    if (avcodec_parameters_from_context(parameters, encoder_.get()) < 0) return false;
    timeBase = encoder_->time_base;
    return true;
}

bool AudioTrack::handle(const AVPacket* packet, const PacketSink& sink, std::string& error) {
    if (pastEnd_) return true;
    if (!copying_) return decodeAndEncode(packet, sink, error);

    if (packet->pts == AV_NOPTS_VALUE && packet->dts == AV_NOPTS_VALUE) return true;
    const std::int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    const std::int64_t relativeUs =
        av_rescale_q(stamp, stream_->time_base, AV_TIME_BASE_Q) - startOffsetUs_ - window_.startUs;
    if (window_.durationUs && relativeUs >= *window_.durationUs) {
        pastEnd_ = true;
        return true;
    }
    if (window_.startUs > 0 && relativeUs < 0) return true;  // before the requested start
    PacketPtr copy(av_packet_clone(packet));
    if (!copy) {
        error = "Out of memory while copying audio";
        return false;
    }
    const std::int64_t shift = av_rescale_q(startOffsetUs_ + window_.startUs, AV_TIME_BASE_Q, stream_->time_base);
    if (copy->pts != AV_NOPTS_VALUE) copy->pts -= shift;
    if (copy->dts != AV_NOPTS_VALUE) copy->dts -= shift;
    copy->pos = -1;
    return sink(copy.get(), stream_->time_base);
}

bool AudioTrack::decodeAndEncode(const AVPacket* packet, const PacketSink& sink, std::string& error) {
    int ret = avcodec_send_packet(decoder_.get(), packet);
    if (ret < 0 && ret != AVERROR_EOF) {
        consoleLog().message(AV_LOG_WARNING, "Error while decoding the audio: " + avErrorText(ret) + "; skipping a packet");
        return true;
    }
    for (;;) {
        ret = avcodec_receive_frame(decoder_.get(), decoded_.get());
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return true;
        if (ret < 0) {
            consoleLog().message(AV_LOG_WARNING, "Error while decoding the audio: " + avErrorText(ret));
            return true;
        }
        const std::int64_t pts = decoded_->best_effort_timestamp;
        const int sampleRate = decoded_->sample_rate > 0 ? decoded_->sample_rate : encoder_->sample_rate;
        std::int64_t startUs = 0;
        if (pts != AV_NOPTS_VALUE)
            startUs = av_rescale_q(pts, stream_->time_base, AV_TIME_BASE_Q) - startOffsetUs_ - window_.startUs;
        const std::int64_t endUs = startUs + av_rescale(decoded_->nb_samples, AV_TIME_BASE, sampleRate);
        if (window_.durationUs && startUs >= *window_.durationUs) {
            pastEnd_ = true;
            av_frame_unref(decoded_.get());
            return true;
        }
        if (window_.startUs > 0 && endUs <= 0) {
            av_frame_unref(decoded_.get());
            continue;
        }
        if (nextPts_ == AV_NOPTS_VALUE)
            nextPts_ = av_rescale_q(startUs, AV_TIME_BASE_Q, encoder_->time_base);

        // A layout that only counts channels ("2 channels") means the usual one for that count;
        // the resampler compares layouts frame by frame, so name it the same way every time.
        if (decoded_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            const int channels = decoded_->ch_layout.nb_channels;
            av_channel_layout_uninit(&decoded_->ch_layout);
            av_channel_layout_default(&decoded_->ch_layout, channels);
        }
        if (!resampler_) {
            SwrContext* raw = nullptr;
            ret = swr_alloc_set_opts2(&raw, &encoder_->ch_layout, encoder_->sample_fmt, encoder_->sample_rate,
                                      &decoded_->ch_layout, static_cast<AVSampleFormat>(decoded_->format),
                                      sampleRate, 0, nullptr);
            if (ret >= 0) ret = swr_init(raw);
            resampler_.reset(raw);
            if (ret < 0) {
                error = "Cannot convert the audio for AAC: " + avErrorText(ret);
                return false;
            }
        }
        FramePtr converted = makeFrame();
        av_channel_layout_copy(&converted->ch_layout, &encoder_->ch_layout);
        converted->format = encoder_->sample_fmt;
        converted->sample_rate = encoder_->sample_rate;
        ret = swr_convert_frame(resampler_.get(), converted.get(), decoded_.get());
        av_frame_unref(decoded_.get());
        if (ret < 0) {
            error = "Cannot convert the audio for AAC: " + avErrorText(ret);
            return false;
        }
        if (converted->nb_samples > 0 &&
            av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(converted->extended_data),
                                converted->nb_samples) < converted->nb_samples) {
            error = "Out of memory while buffering audio";
            return false;
        }
        if (!encodeFromFifo(false, sink, error)) return false;
    }
}

bool AudioTrack::encodeFromFifo(bool drain, const PacketSink& sink, std::string& error) {
    const int frameSize = encoder_->frame_size > 0 ? encoder_->frame_size : 1024;
    while (av_audio_fifo_size(fifo_.get()) >= frameSize || (drain && av_audio_fifo_size(fifo_.get()) > 0)) {
        const int samples = std::min(frameSize, av_audio_fifo_size(fifo_.get()));
        av_frame_unref(chunk_.get());
        chunk_->nb_samples = samples;
        chunk_->format = encoder_->sample_fmt;
        chunk_->sample_rate = encoder_->sample_rate;
        av_channel_layout_copy(&chunk_->ch_layout, &encoder_->ch_layout);
        if (av_frame_get_buffer(chunk_.get(), 0) < 0) {
            error = "Out of memory for audio";
            return false;
        }
        av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(chunk_->data), samples);
        chunk_->pts = nextPts_;
        nextPts_ += samples;
        if (!sendToEncoder(chunk_.get(), sink, error)) return false;
    }
    return true;
}

bool AudioTrack::sendToEncoder(AVFrame* frame, const PacketSink& sink, std::string& error) {
    int ret = avcodec_send_frame(encoder_.get(), frame);
    if (ret < 0 && ret != AVERROR_EOF) {
        error = "AAC encoding failed: " + avErrorText(ret);
        return false;
    }
    for (;;) {
        ret = avcodec_receive_packet(encoder_.get(), encoded_.get());
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return true;
        if (ret < 0) {
            error = "AAC encoding failed: " + avErrorText(ret);
            return false;
        }
        const bool ok = sink(encoded_.get(), encoder_->time_base);
        av_packet_unref(encoded_.get());
        if (!ok) return false;
    }
}

bool AudioTrack::finish(const PacketSink& sink, std::string& error) {
    if (copying_) return true;
    if (!pastEnd_) {
        if (!decodeAndEncode(nullptr, sink, error)) return false;
    }
    if (resampler_) {
        FramePtr tail = makeFrame();
        av_channel_layout_copy(&tail->ch_layout, &encoder_->ch_layout);
        tail->format = encoder_->sample_fmt;
        tail->sample_rate = encoder_->sample_rate;
        if (swr_convert_frame(resampler_.get(), tail.get(), nullptr) >= 0 && tail->nb_samples > 0)
            av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(tail->extended_data), tail->nb_samples);
    }
    if (nextPts_ != AV_NOPTS_VALUE && !encodeFromFifo(true, sink, error)) return false;
    return sendToEncoder(nullptr, sink, error);
}

}  // namespace kalo::converter
