#pragma once
// The two threads around the depth algorithms: depth estimation (stateful, one picture
// after the other) and view synthesis (or the depth-map picture for outputmode=depth).
#include <memory>

#include "converter/depth/depth_stage.h"
#include "converter/pipeline/picture_pool.h"
#include "converter/pipeline/pipeline_control.h"
#include "converter/pipeline/pipeline_queues.h"

namespace kalo::converter {

class DepthEstimationStage {
public:
    DepthEstimationStage(std::unique_ptr<depth::DepthEstimator> estimator, PipelineControl& control,
                         PipelineCounters& counters, PipelineQueues& queues)
        : estimator_(std::move(estimator)), control_(control), counters_(counters), queues_(queues) {}

    void run();

private:
    std::unique_ptr<depth::DepthEstimator> estimator_;
    PipelineControl& control_;
    PipelineCounters& counters_;
    PipelineQueues& queues_;
};

class SynthesisStage {
public:
    // `synthesizer` null: outputmode=depth, the depth map itself becomes the picture.
    SynthesisStage(std::unique_ptr<depth::StereoSynthesizer> synthesizer, int width, int height,
                   PipelineControl& control, PipelineCounters& counters, PipelineQueues& queues)
        : synthesizer_(std::move(synthesizer)), pool_(width, height), control_(control), counters_(counters),
          queues_(queues) {}

    void run();

private:
    std::unique_ptr<depth::StereoSynthesizer> synthesizer_;
    PicturePool pool_;
    PipelineControl& control_;
    PipelineCounters& counters_;
    PipelineQueues& queues_;
};

}  // namespace kalo::converter
