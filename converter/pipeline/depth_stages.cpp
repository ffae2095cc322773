#include "converter/pipeline/depth_stages.h"

#include <exception>

#include "converter/platform/cpu_clock.h"

namespace kalo::converter {
namespace {

void addTo(std::atomic<double>& total, double value) {
    double current = total.load();
    while (!total.compare_exchange_weak(current, current + value)) {
    }
}

}  // namespace

void DepthEstimationStage::run() {
    try {
        FramePtr picture;
        for (;;) {
            const PopResult popped = queues_.decoded.pop(picture);
            if (popped == PopResult::Aborted) return;
            if (popped == PopResult::End) break;
            auto map = std::make_shared<depth::DepthMap>();
            const double before = threadCpuSeconds();
            estimator_->estimate(viewOf(picture.get()), *map);
            addTo(counters_.depthCpuSeconds, threadCpuSeconds() - before);
            ++counters_.depthFrames;
            if (!queues_.withDepth.push(DepthFrame{std::move(picture), std::move(map)})) return;
        }
        queues_.withDepth.finish();
    } catch (const std::exception& e) {
        control_.fail(std::string("Depth estimation failed: ") + e.what());
        queues_.abortAll();
    }
}

void SynthesisStage::run() {
    try {
        DepthFrame item;
        for (;;) {
            const PopResult popped = queues_.withDepth.pop(item);
            if (popped == PopResult::Aborted) return;
            if (popped == PopResult::End) break;
            FramePtr out = pool_.take();
            if (!out || av_frame_copy_props(out.get(), item.picture.get()) < 0) {
                control_.fail("Out of memory for the stereo pictures");
                queues_.abortAll();
                return;
            }
            depth::Yuv420Target target = targetOf(out.get());
            const double before = threadCpuSeconds();
            if (synthesizer_)
                synthesizer_->synthesize(viewOf(item.picture.get()), *item.depth, target);
            else
                depth::renderDepthMap(*item.depth, target);
            addTo(counters_.synthesisCpuSeconds, threadCpuSeconds() - before);
            ++counters_.synthesisFrames;
            item = DepthFrame{};
            if (!queues_.toEncode.push(std::move(out))) return;
        }
        queues_.toEncode.finish();
    } catch (const std::exception& e) {
        control_.fail(std::string("Stereo synthesis failed: ") + e.what());
        queues_.abortAll();
    }
}

}  // namespace kalo::converter
