// The media source: opening a file, its decoders, frame grid, texture and display strings,
// and releasing all of it again.
#include "player/ffmpeg_helper.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "media/decoder_open.h"
#include "media/source_streams.h"
#include "media/stream_rotation.h"
#include "platform/executable_path.h"
#include "player/filter_image.h"
#include "player/video_layout.h"

namespace {

// Frees *context and opens a fresh decoder for `stream`. Returns avcodec_open2's result,
// or a negative error when no decoder exists or memory runs out.
int openDecoder(const AVStream* stream, AVCodecContext** context, int threads) {
    avcodec_free_context(context);
    kalo::CodecContextPtr opened;
    const kalo::DecoderOpenResult result = kalo::openDecoder(stream, threads, opened);
    *context = opened.release();
    return result.code;
}

}  // namespace

// As many decoding threads as the machine has cores: the preview then keeps up with
// high-resolution sources the way the command-line tools do.
int FFmpegHelper::defaultCodecThreads = 0;

FFmpegHelper::FFmpegHelper() {
    mutex = SDL_CreateMutex();
    pictureShown = SDL_CreateCond();
    filterMutex = SDL_CreateMutex();
    refilterSource = av_frame_alloc();
    refilterOutput = av_frame_alloc();
    wakeMutex = SDL_CreateMutex();
    wakeCondition = SDL_CreateCond();
    filteredFrame = av_frame_alloc();
    programPath = kalo::platform::executablePath();
    renderEntry = RenderData::create(
        [this](SDL_Renderer** renderer, SDL_Rect* rect, SDL_Texture* drawTexture) {
            renderFrame(renderer, rect, drawTexture);
        },
        SDL_Rect{0, 0, 0, 0}, nullptr);
    resetState();
}

FFmpegHelper::~FFmpegHelper() {
    release();
    av_frame_free(&filteredFrame);
    av_frame_free(&refilterSource);
    av_frame_free(&refilterOutput);
    SDL_DestroyMutex(filterMutex);
    SDL_DestroyCond(wakeCondition);
    SDL_DestroyMutex(wakeMutex);
    SDL_DestroyCond(pictureShown);
    SDL_DestroyMutex(mutex);
}

// The callbacks are not cleared here: the preview window sets them once and clears them
// itself, and they must survive opening the next file.
void FFmpegHelper::resetState() {
    formatContext = nullptr;
    videoDecoder = nullptr;
    audioDecoder = nullptr;
    frame = nullptr;
    packet = nullptr;
    videoStream = nullptr;
    audioStream = nullptr;
    rotation = 0;
    scaler = nullptr;
    displayScale = 0.85f;
    thumbnailTexture = nullptr;
    thumbPending = false;
    readerState = ThreadState::Running;
    decoderState = ThreadState::Running;
    ended = false;
    paused = false;
    waitFirstPacket = true;
    needConvert = false;
    videoIndex = -1;
    audioIndex = -1;
    if (!mutex) mutex = SDL_CreateMutex();
}

int FFmpegHelper::open(const std::string& path, SDL_Renderer* renderer) {
    // Always release: this also frees whatever a previous failed open acquired.
    release();
    resetState();
    totalFrames = 0;
    int result = openMedia(path, renderer);
    if (result == 0) {
        beginRun();
        if (!startReader()) result = openFailed;
    }
    if (result != 0) {
        packetQueue.reset();
        closeMedia();
        resetState();
        totalFrames = 0;
        seekPoints.clear();
        return result;
    }
    syncPosition();
    opened = true;
    info = describeMedia(path, formatContext->duration, sourceFormat.width, sourceFormat.height);
    return 0;
}

int FFmpegHelper::openMedia(const std::string& path, SDL_Renderer* renderer) {
    kalo::SourceStreams source;
    int code = 0;
    switch (kalo::openSource(path, nullptr, source, code)) {
    case kalo::SourceOpenResult::Opened:
        break;
    case kalo::SourceOpenResult::Unreadable:
        return openFailed;
    case kalo::SourceOpenResult::NoStreamInfo:
    case kalo::SourceOpenResult::NoVideo:
    case kalo::SourceOpenResult::NoPictureSize:
        return noVideoStream;
    }
    formatContext = source.context.release();
    videoStream = source.video;
    videoIndex = videoStream->index;
    audioStream = source.audio;
    audioIndex = audioStream ? audioStream->index : -1;

    if (reopenDecoders() < 0) return decoderFailed;

    frame = av_frame_alloc();
    packet = av_packet_alloc();
    convertedFrame = av_frame_alloc();
    if (!frame || !packet || !convertedFrame) return openFailed;

    sourceFormat.width = videoDecoder->width;
    sourceFormat.height = videoDecoder->height;
    sourceFormat.pixelFormat = videoDecoder->pix_fmt;
    sourceFormat.timeBase = videoStream->time_base;
    sourceFormat.sampleAspect = videoDecoder->sample_aspect_ratio;

    rotation = kalo::streamRotation(videoStream);
    portrait = kalo::isPortrait(videoStream->codecpar->width, videoStream->codecpar->height, rotation);

    timing = kalo::FrameTiming::of(videoStream->time_base, videoStream->r_frame_rate,
                                   videoStream->avg_frame_rate);
    streamStart = videoStream->start_time != AV_NOPTS_VALUE ? videoStream->start_time : 0;
    const std::int64_t streamDuration =
        videoStream->duration != AV_NOPTS_VALUE ? videoStream->duration : -1;
    const kalo::FrameCount count =
        kalo::countFrames(timing, videoStream->nb_frames, streamDuration, formatContext->duration);
    totalFrames = count.totalFrames;
    seekPoints = kalo::buildSeekPoints(timing, count.gridFrames);

    if (sourceFormat.pixelFormat != AV_PIX_FMT_YUV420P &&
        sourceFormat.pixelFormat != AV_PIX_FMT_YUVJ420P) {
        scaler = sws_getContext(sourceFormat.width, sourceFormat.height, sourceFormat.pixelFormat,
                                sourceFormat.width, sourceFormat.height, AV_PIX_FMT_YUV420P,
                                SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!scaler) return decoderFailed;
        needConvert = true;
    }

    activeFilter = -1;
    refilter = false;

    textureRect = SDL_Rect{0, 0, sourceFormat.width, sourceFormat.height};
    if (renderer) {
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_YV12, SDL_TEXTUREACCESS_STREAMING,
                                    sourceFormat.width, sourceFormat.height);
    }
    packetQueue = std::make_shared<PacketQueue>(PacketQueue::defaultCapacity);
    return 0;
}

void FFmpegHelper::release() {
    stopThreads();
    reapFilterBuilds(true);
    packetQueue.reset();
    closeMedia();
    thumbPending = false;
    position = 0;
    ended = false;
    paused = false;
    opened = false;
    waitFirstPacket = true;
    needConvert = false;
    seekPending = false;
    seekRequested = false;
    seekPoints.clear();
    totalFrames = 0;
    videoIndex = -1;
    audioIndex = -1;
    SDL_LockMutex(mutex);
    filters.clear();
    filtersBuilding.clear();
    av_frame_unref(filteredFrame);
    ++pictureSerial;
    SDL_UnlockMutex(mutex);
    activeFilter = -1;
    refilter = false;
}

void FFmpegHelper::closeMedia() {
    SDL_LockMutex(mutex);
    avformat_close_input(&formatContext);
    avcodec_free_context(&videoDecoder);
    avcodec_free_context(&audioDecoder);
    av_frame_free(&frame);
    av_packet_free(&packet);
    av_frame_free(&convertedFrame);
    sws_freeContext(scaler);
    scaler = nullptr;
    if (texture) SDL_DestroyTexture(texture);
    texture = nullptr;
    if (thumbnailTexture) SDL_DestroyTexture(thumbnailTexture);
    thumbnailTexture = nullptr;
    videoStream = nullptr;
    audioStream = nullptr;
    pictureReady = false;
    convertedSource = nullptr;
    sourceFormat = PictureFormat{};
    SDL_UnlockMutex(mutex);
}

int FFmpegHelper::reopenDecoders() {
    if (!videoStream) return AVERROR(EINVAL);
    const int videoResult = openDecoder(videoStream, &videoDecoder, codecThreads);
    if (videoResult < 0) return videoResult;
    if (!audioStream) return videoResult;
    return openDecoder(audioStream, &audioDecoder, 1);
}

void FFmpegHelper::recreateTexture(SDL_Renderer* renderer) {
    SDL_LockMutex(mutex);
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_YV12, SDL_TEXTUREACCESS_STREAMING,
                                sourceFormat.width, sourceFormat.height);
    textureRect = SDL_Rect{0, 0, sourceFormat.width, sourceFormat.height};
    SDL_UnlockMutex(mutex);
}

void FFmpegHelper::layoutVideo(int areaWidth, int areaHeight) {
    if (!(displayScale >= 0.0f && displayScale <= 1.0f)) displayScale = 0.7f;
    destRect = computeVideoRect(areaWidth, areaHeight, displayScale, sourceFormat.width,
                                sourceFormat.height, rotation);
}

int FFmpegHelper::decoderWidth() const { return sourceFormat.width; }

int FFmpegHelper::decoderHeight() const { return sourceFormat.height; }
