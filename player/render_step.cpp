// Presentation and playback control on the main thread: the render step, the position
// step that applies seeks, seek, replay, pause and the thumbnail capture.
#include <algorithm>
#include <cstdio>

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

    // A new look on a picture that will not be decoded again (paused, or the end) is
    // applied here; while the decoder plays, its next picture comes filtered within a frame.
    const bool decoderPlaying = !paused && !ended && decoderState == ThreadState::Running;
    if (activeFilter >= 0 && !decoderPlaying) refilterCurrentPicture("error of create filter image\n");

    SDL_LockMutex(mutex);
    AVFrame* picture = frame;
    if (activeFilter >= 0 && filteredFrame->data[0]) picture = filteredFrame;
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

// A seek is applied here, on the main thread, with the old threads joined before anything
// of the new place is written; its landing point is reported even while paused, so the
// slider never keeps showing the place the seek left.
void FFmpegHelper::syncPosition() {
    bool seekApplied = false;
    std::int64_t reported = 0;
    if (seekPending) {
        seekPending = false;
        seekApplied = true;
        if (!seekPoints.empty() && videoIndex != -1) {
            const std::int64_t point =
                kalo::seekPointAtOrBefore(seekPoints, timing.framesToTicks(seekTarget));
            reported = timing.ticksToFrames(point);
            restartAt(reported);
        } else {
            // Nowhere to move: only the position changed.
            reported = position;
            seekRequested = false;
        }
    } else {
        reported = position;
    }
    const bool quietWhilePaused = !seekApplied && opened && !seekRequested && paused;
    if (!quietWhilePaused && progressCallback && totalFrames > 0) {
        progressCallback(static_cast<float>(reported) / static_cast<float>(totalFrames));
    }
}

void FFmpegHelper::restartAt(std::int64_t frameNumber) {
    stopThreads();
    reopenDecoders();  // a decoder that fails to reopen shows nothing more; nothing crashes
    SDL_LockMutex(mutex);
    if (clearPictureOnRestart) {
        clearPictureOnRestart = false;
        av_frame_unref(frame);
        av_frame_unref(filteredFrame);
        pictureReady = false;
        ++pictureSerial;
    }
    // No thread runs now: nothing can overwrite the seek's position.
    position = frameNumber;
    SDL_UnlockMutex(mutex);
    // An end reached while the seek was waiting must not swallow it.
    ended = false;
    waitFirstPacket = true;
    seekRequested = true;
    beginRun();
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
    SDL_LockMutex(mutex);
    // From here on the running threads belong to the old place: the picture they may still
    // finish is dropped, and `position` is the seek's until the restarted threads show the
    // new place. Without seek points the threads are not restarted and keep playing.
    if (!seekPoints.empty()) ++pictureEpoch;
    position = seekTarget;
    SDL_UnlockMutex(mutex);
    seekPending = true;
    seekRequested = true;
}

void FFmpegHelper::replay() {
    if (!opened) return;
    if (!ended) {
        paused = false;
        wakeThreads();
        return;
    }
    // The threads stop by themselves at the end; join them before touching the demuxer.
    stopThreads();
    if (reopenDecoders() < 0) return;
    SDL_LockMutex(mutex);
    ++pictureEpoch;
    SDL_UnlockMutex(mutex);
    ended = false;
    paused = false;
    waitFirstPacket = true;
    beginRun();
    if (videoIndex != -1) {
        av_seek_frame(formatContext, videoIndex, streamStart, AVSEEK_FLAG_BACKWARD);
    }
    startReader();
}

bool FFmpegHelper::togglePause() {
    const bool nowPaused = !paused;
    paused = nowPaused;
    wakeThreads();
    return nowPaused;
}

// The capture stays paused throughout: the restarted decoder shows the seek point's picture
// and then waits, so the picture read here is that one and never a later one.
bool FFmpegHelper::captureThumbnail(SDL_Renderer* renderer) {
    if (!opened) return false;
    if (!thumbnailTexture && renderer) {
        thumbnailTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_YV12, SDL_TEXTUREACCESS_STATIC,
                                             sourceFormat.width, sourceFormat.height);
    }
    paused = true;
    thumbPending = true;
    seek(0.2f);
    syncPosition();
    const bool captured = waitForPicture(thumbnailWaitMs);
    thumbPending = false;

    SDL_LockMutex(mutex);
    AVFrame* upload = captured ? uploadablePicture(frame) : nullptr;
    if (upload && thumbnailTexture) {
        SDL_UpdateYUVTexture(thumbnailTexture, &textureRect, upload->data[0], upload->linesize[0],
                             upload->data[1], upload->linesize[1], upload->data[2],
                             upload->linesize[2]);
    }
    SDL_UnlockMutex(mutex);
    if (!upload) {
        std::printf("No picture for the thumbnail within %u ms\n", thumbnailWaitMs);
        std::fflush(stdout);
    }

    // Back to the first frame; the preview shows nothing until that picture is decoded.
    clearPictureOnRestart = true;
    seek(0.0f);
    syncPosition();
    clearPictureOnRestart = false;
    paused = true;
    return upload != nullptr && thumbnailTexture != nullptr;
}
