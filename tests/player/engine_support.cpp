#include "engine_support.h"

#include <cmath>

extern "C" {
#include <libavutil/common.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include "clip_factory.h"

namespace enginetest {

#if defined(__SANITIZE_THREAD__)
// FFmpeg's own worker threads hand buffers over with atomics inside uninstrumented
// libraries, which ThreadSanitizer cannot see; with decoding and filtering kept on the
// engine's own threads every report concerns the engine's synchronisation.
const bool codecThreadsForSanitizer = (FFmpegHelper::defaultCodecThreads = 1, true);
#endif

bool waitUntil(const std::function<bool()>& condition, Uint32 limitMs) {
    const Uint32 start = SDL_GetTicks();
    while (!condition()) {
        if (SDL_GetTicks() - start > limitMs) return condition();
        SDL_Delay(2);
    }
    return true;
}

bool renderUntil(FFmpegHelper& engine, kalo::test::SoftwareCanvas& canvas, const std::function<bool()>& condition,
                 Uint32 limitMs) {
    return waitUntil(
        [&] {
            canvas.clear();
            engine.renderFrame(&canvas.renderer, nullptr, nullptr);
            return condition();
        },
        limitMs);
}

namespace {

template <typename Read>
auto withPicture(FFmpegHelper& engine, bool filtered, Read read) {
    SDL_LockMutex(engine.mutex);
    AVFrame* picture = filtered ? engine.filteredFrame : engine.frame;
    auto value = read(picture && picture->data[0] ? picture : nullptr);
    SDL_UnlockMutex(engine.mutex);
    return value;
}

double planeMean(const AVFrame* picture, int plane) {
    const AVPixFmtDescriptor* layout =
        av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture->format));
    const bool chroma = plane > 0;
    const int width = chroma ? AV_CEIL_RSHIFT(picture->width, layout->log2_chroma_w) : picture->width;
    const int height =
        chroma ? AV_CEIL_RSHIFT(picture->height, layout->log2_chroma_h) : picture->height;
    double sum = 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = picture->data[plane] + y * picture->linesize[plane];
        for (int x = 0; x < width; ++x) sum += row[x];
    }
    return sum / (double(width) * height);
}

}  // namespace

double meanOfPlane(FFmpegHelper& engine, int plane, bool filtered) {
    return withPicture(engine, filtered, [plane](const AVFrame* picture) {
        return picture ? planeMean(picture, plane) : -1.0;
    });
}

int pictureFormat(FFmpegHelper& engine, bool filtered) {
    return withPicture(engine, filtered,
                       [](const AVFrame* picture) { return picture ? picture->format : -1; });
}

int currentFrameNumber(FFmpegHelper& engine) {
    const double luma = meanOfPlane(engine, 0);
    const double blue = meanOfPlane(engine, 1);
    if (luma < 0) return -1;
    return kalo::test::frameNumberOf(static_cast<int>(std::lround(luma)),
                                   static_cast<int>(std::lround(blue)));
}

}  // namespace enginetest
