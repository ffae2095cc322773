#pragma once
// One built filter graph of the preview: a "buffer" source named "in", the filters of a
// description, and a "buffersink" named "out" that returns pictures in the source's own
// pixel format (the graph converts in and out of formats its filters need).
#include <memory>
#include <string>

#include "player/ffmpeg_helper.h"

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

class FFmpegHelper::FilterImage {
public:
    // Builds the graph for pictures of `format`, its filters using up to `threads` threads
    // (0: one per core). Failures print their message on standard output and give an image
    // that is not `ready` (an empty description never builds).
    static std::shared_ptr<FilterImage> build(const std::string& description,
                                              const PictureFormat& format, int threads = 0);

    FilterImage() = default;
    ~FilterImage();
    FilterImage(const FilterImage&) = delete;
    FilterImage& operator=(const FilterImage&) = delete;

    // Sends `picture` into the graph (the caller keeps its reference) and fetches one
    // picture into `outFrame`. Returns the FFmpeg result: 0, AVERROR(EAGAIN) when the graph
    // needs more input, another negative value on failure.
    int filter(AVFrame* picture);

    AVFilterContext* sink = nullptr;
    AVFilterContext* source = nullptr;
    AVFilterGraph* graph = nullptr;
    AVFrame* outFrame = nullptr;
    bool ready = false;
};
