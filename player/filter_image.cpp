#include "player/filter_image.h"

#include <cstdio>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

void say(const char* message) {
    std::fputs(message, stdout);
    std::fflush(stdout);
}

// The preview's line for the step that failed.
const char* failedStepText(kalo::FilterGraph::Step step) {
    switch (step) {
    case kalo::FilterGraph::Step::Allocate: return "Alloc object failed!\n";
    case kalo::FilterGraph::Step::Source: return "Buffer source create failed!\n";
    case kalo::FilterGraph::Step::Sink: return "Buffer sink create failed!\n";
    case kalo::FilterGraph::Step::Parse:
    case kalo::FilterGraph::Step::Configure:
    case kalo::FilterGraph::Step::None: break;
    }
    return nullptr;  // the graph text itself: "Filter create failed!" says it
}

}  // namespace

std::shared_ptr<FFmpegHelper::FilterImage> FFmpegHelper::FilterImage::build(
    const std::string& description, const PictureFormat& format, int threads) {
    auto image = std::make_shared<FilterImage>();
    image->outFrame = kalo::makeFrame();
    if (!image->outFrame) {
        say("Alloc object failed!\n");
    } else if (!description.empty()) {
        if (image->graph.configure(description, format, format.pixelFormat, threads) >= 0) {
            image->ready = true;
        } else if (const char* step = failedStepText(image->graph.failedStep())) {
            say(step);
        }
    }
    if (!image->ready) say("Filter create failed!\n");
    return image;
}

int FFmpegHelper::FilterImage::filter(AVFrame* picture) {
    const int sent = graph.push(picture, true);
    if (sent < 0) return sent;
    av_frame_unref(outFrame.get());
    return graph.pull(outFrame.get());
}
