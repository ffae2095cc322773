#pragma once
// One built filter graph of the preview: the shared single-input graph
// (media/filter_graph.h) whose sink returns pictures in the source's own pixel format, so
// the texture upload stays the same whichever look is selected.
#include <memory>
#include <string>

#include "media/av_handles.h"
#include "media/filter_graph.h"
#include "player/ffmpeg_helper.h"

class FFmpegHelper::FilterImage {
public:
    // Builds the graph for pictures of `format`, its filters using up to `threads` threads
    // (0: one per core). Failures print their message on standard output and give an image
    // that is not `ready` (an empty description never builds).
    static std::shared_ptr<FilterImage> build(const std::string& description,
                                              const PictureFormat& format, int threads = 0);

    FilterImage() = default;
    FilterImage(const FilterImage&) = delete;
    FilterImage& operator=(const FilterImage&) = delete;

    // Sends `picture` into the graph (the caller keeps its reference) and fetches one
    // picture into `outFrame`. Returns the FFmpeg result: 0, AVERROR(EAGAIN) when the graph
    // needs more input, another negative value on failure.
    int filter(AVFrame* picture);

    kalo::FilterGraph graph;
    kalo::FramePtr outFrame;
    bool ready = false;
};
