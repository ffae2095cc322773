// Presentation and playback control on the main thread: the render step, the position
// step that applies seeks, seek, replay, pause and the thumbnail capture.
#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "player/ffmpeg_helper.h"

namespace {

bool isUploadableFormat(int format) {
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

}  // namespace

void FFmpegHelper::renderFrame(SDL_Renderer** renderer, SDL_Rect*, SDL_Texture*) {
    if (!renderer || !*renderer || !opened) return;
    if (!ended) {
        syncPosition();
    } else if (endedCallback) {
        endedCallback();
    }

    SDL_LockMutex(mutex);
    AVFrame* picture = frame;
    if (activeFilter >= 0) {
        if (refilter || !filteredFrame->data[0]) {
            // A new filter on a picture that will not be decoded again (paused): run the
            // current picture through it now.
            filterCurrentPicture("error of create filter image\n");
            refilter = false;
        }
        if (filteredFrame->data[0]) picture = filteredFrame;
    }
    AVFrame* upload = uploadablePicture(picture);
    if (upload && texture) {
        SDL_UpdateYUVTexture(texture, &textureRect, upload->data[0], upload->linesize[0],
                             upload->data[1], upload->linesize[1], upload->data[2],
                             upload->linesize[2]);
        SDL_RenderCopyEx(*renderer, texture, nullptr, &destRect, rotation, nullptr, SDL_FLIP_NONE);
    }
    SDL_UnlockMutex(mutex);
}

// The texture takes planar YUV 4:2:0 of its own size; anything else (another pixel format,
// a size change in the middle of a damaged stream, bottom-up rows) is converted first.
AVFrame* FFmpegHelper::uploadablePicture(AVFrame* picture) {
    if (!picture || !picture->data[0]) return nullptr;
    const int width = textureRect.w;
    const int height = textureRect.h;
    if (width <= 0 || height <= 0) return nullptr;
    if (isUploadableFormat(picture->format) && picture->width == width &&
        picture->height == height && picture->linesize[0] > 0 && picture->linesize[1] > 0 &&
        picture->linesize[2] > 0) {
        return picture;
    }
    if (!convertedFrame) return nullptr;
    if (convertedSource == picture && convertedSerial == pictureSerial && convertedFrame->data[0] &&
        convertedFrame->width == width && convertedFrame->height == height) {
        return convertedFrame;
    }
    if (!convertedFrame->data[0] || convertedFrame->width != width ||
        convertedFrame->height != height) {
        av_frame_unref(convertedFrame);
        convertedFrame->format = AV_PIX_FMT_YUV420P;
        convertedFrame->width = width;
        convertedFrame->height = height;
        if (av_frame_get_buffer(convertedFrame, 0) < 0) return nullptr;
    }
    scaler = sws_getCachedContext(scaler, picture->width, picture->height,
                                  static_cast<AVPixelFormat>(picture->format), width, height,
                                  AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler) return nullptr;
    sws_scale(scaler, picture->data, picture->linesize, 0, picture->height, convertedFrame->data,
              convertedFrame->linesize);
    convertedSource = picture;
    convertedSerial = pictureSerial;
    return convertedFrame;
}

void FFmpegHelper::syncPosition() {
    if (seekPending) {
        seekPending = false;
        if (!seekPoints.empty()) {
            const std::int64_t point =
                seekPointAtOrBefore(seekPoints, timing.framesToTicks(seekTarget));
            position = timing.ticksToFrames(point);
            if (videoIndex != -1) restartAt(position);
        } else {
            seekRequested = false;  // nowhere to move: only the position changed
        }
    }
    const bool quietWhilePaused = opened && !seekRequested && paused;
    if (!quietWhilePaused && progressCallback && totalFrames > 0) {
        progressCallback(static_cast<float>(position) / static_cast<float>(totalFrames));
    }
}

void FFmpegHelper::restartAt(std::int64_t frameNumber) {
    stopThreads();
    reopenDecoders();  // a decoder that fails to reopen shows nothing more; nothing crashes
    if (clearPictureOnRestart) {
        clearPictureOnRestart = false;
        SDL_LockMutex(mutex);
        av_frame_unref(frame);
        av_frame_unref(filteredFrame);
        pictureReady = false;
        ++pictureSerial;
        SDL_UnlockMutex(mutex);
    }
    // An end reached while the seek was waiting must not swallow it.
    ended = false;
    waitFirstPacket = true;
    seekRequested = true;
    readerState = ThreadState::Running;
    decoderState = ThreadState::Running;
    // Ask for the frame after the point, searching backward: the key frame at or before
    // the point itself.
    av_seek_frame(formatContext, videoIndex, streamStart + timing.framesToTicks(frameNumber + 1),
                  AVSEEK_FLAG_BACKWARD);
    startReader();
}

void FFmpegHelper::seek(float fraction) {
    if (!opened) return;
    if (ended) {
        const bool wasPaused = paused;
        replay();
        paused = wasPaused;
    }
    fraction = std::clamp(fraction, 0.0f, 1.0f);
    seekTarget = static_cast<std::int64_t>(static_cast<float>(totalFrames) * fraction);
    position = seekTarget;
    seekPending = true;
    seekRequested = true;
}

void FFmpegHelper::replay() {
    if (!opened) return;
    if (!ended) {
        paused = false;
        return;
    }
    // The threads stop by themselves at the end; join them before touching the demuxer.
    stopThreads();
    if (reopenDecoders() < 0) return;
    ended = false;
    paused = false;
    waitFirstPacket = true;
    readerState = ThreadState::Running;
    decoderState = ThreadState::Running;
    if (videoIndex != -1) {
        av_seek_frame(formatContext, videoIndex, streamStart, AVSEEK_FLAG_BACKWARD);
    }
    startReader();
}

bool FFmpegHelper::togglePause() {
    const bool nowPaused = !paused;
    paused = nowPaused;
    return nowPaused;
}

bool FFmpegHelper::captureThumbnail(SDL_Renderer* renderer) {
    if (!opened) return false;
    if (!thumbnailTexture && renderer) {
        thumbnailTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_YV12, SDL_TEXTUREACCESS_STATIC,
                                             sourceFormat.width, sourceFormat.height);
    }
    seek(0.2f);
    syncPosition();
    paused = false;
    thumbPending = true;
    const Uint32 start = SDL_GetTicks();
    while (thumbPending && SDL_GetTicks() - start < thumbnailWaitMs) SDL_Delay(1);
    const bool captured = !thumbPending;
    thumbPending = false;
    paused = true;

    SDL_LockMutex(mutex);
    AVFrame* upload = captured ? uploadablePicture(frame) : nullptr;
    if (upload && thumbnailTexture) {
        SDL_UpdateYUVTexture(thumbnailTexture, &textureRect, upload->data[0], upload->linesize[0],
                             upload->data[1], upload->linesize[1], upload->data[2],
                             upload->linesize[2]);
    }
    SDL_UnlockMutex(mutex);

    // Back to the first frame; the preview shows nothing until that picture is decoded.
    clearPictureOnRestart = true;
    seek(0.0f);
    syncPosition();
    clearPictureOnRestart = false;
    return upload != nullptr;
}
