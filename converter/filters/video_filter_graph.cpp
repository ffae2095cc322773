#include "converter/filters/video_filter_graph.h"

#include "converter/console/console_log.h"
#include "media/av_error_text.h"

namespace kalo::converter {
namespace {

const char* failedStepText(FilterGraph::Step step, bool emptyDescription) {
    switch (step) {
    case FilterGraph::Step::Allocate: return "Cannot allocate a filter graph";
    case FilterGraph::Step::Source: return "Cannot create the picture source";
    case FilterGraph::Step::Sink: return "Cannot set up the picture sink";
    case FilterGraph::Step::Parse: return emptyDescription ? "Cannot link" : "Invalid filter text";
    case FilterGraph::Step::Configure: return "Cannot configure";
    case FilterGraph::Step::None: break;
    }
    return "Cannot build the filter graph";
}

}  // namespace

bool VideoFilterGraph::configure(const std::string& description, const VideoFormat& input,
                                 std::string& error) {
    LibraryErrorCapture capture;
    const int ret = graph_.configure(description, input, AV_PIX_FMT_YUV420P);
    if (ret >= 0) return true;
    const std::string shown = description.empty() ? std::string("(none)") : "'" + description + "'";
    error = std::string(failedStepText(graph_.failedStep(), description.empty())) + " for the filters " + shown + ": " +
            failureText(ret, capture.lastError());
    return false;
}

bool VideoFilterGraph::push(AVFrame* frame, std::string& error) {
    LibraryErrorCapture capture;
    const int ret = graph_.push(frame);
    if (ret < 0) {
        error = "Filtering failed in '" + graph_.description() + "': " + failureText(ret, capture.lastError());
        return false;
    }
    return true;
}

VideoFilterGraph::Pull VideoFilterGraph::pull(AVFrame* frame, std::string& error) {
    LibraryErrorCapture capture;
    const int ret = graph_.pull(frame);
    if (ret >= 0) return Pull::Frame;
    if (ret == AVERROR(EAGAIN)) return Pull::NeedMore;
    if (ret == AVERROR_EOF) return Pull::End;
    error = "Filtering failed in '" + graph_.description() + "': " + failureText(ret, capture.lastError());
    return Pull::Error;
}

}  // namespace kalo::converter
