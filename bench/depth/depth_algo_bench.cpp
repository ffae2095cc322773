// Times the depth algorithms per 1080p picture, single-threaded, as the converter's
// pipeline runs them: estimation on one thread, synthesis (or depth-map rendering) on
// another. Prints milliseconds of CPU per picture for each stage.
//
//   kalo-depth-algo-bench [pictures] [width height]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "bench/depth/synthetic_picture.h"
#include "converter/depth/depth_stage.h"

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kalo;
    const int pictures = argc > 1 ? std::atoi(argv[1]) : 120;
    const int width = argc > 3 ? std::atoi(argv[2]) : 1920;
    const int height = argc > 3 ? std::atoi(argv[3]) : 1080;
    if (pictures <= 0 || width < 16 || height < 16) {
        std::fprintf(stderr, "usage: kalo-depth-algo-bench [pictures] [width height]\n");
        return 2;
    }
    // A few distinct pictures, cycled, so that the motion and smoothing paths run.
    std::vector<bench::OwnedPicture> sources;
    for (int i = 0; i < 8; ++i) {
        sources.emplace_back(width, height);
        bench::drawSyntheticPicture(sources.back(), i);
    }
    bench::OwnedPicture output(width, height);
    depth::DepthFilterOptions options;
    auto estimator = depth::createClassicalEstimator(options, width, height);
    auto synthesizer = depth::createStereoSynthesizer(options, width, height);
    depth::DepthMap map;
    depth::Yuv420Target target = output.target();

    // Warm-up: tables and buffers are sized on the first picture.
    estimator->estimate(sources[0].view(), map);
    synthesizer->synthesize(sources[0].view(), map, target);

    double estimateTime = 0;
    double synthesizeTime = 0;
    double renderTime = 0;
    for (int i = 0; i < pictures; ++i) {
        const depth::Yuv420View picture = sources[static_cast<std::size_t>(i) % sources.size()].view();
        double t0 = cpuSeconds();
        estimator->estimate(picture, map);
        double t1 = cpuSeconds();
        synthesizer->synthesize(picture, map, target);
        double t2 = cpuSeconds();
        estimateTime += t1 - t0;
        synthesizeTime += t2 - t1;
        if (i % 8 == 0) {
            depth::renderDepthMap(map, target);
            renderTime += cpuSeconds() - t2;
        }
    }
    const double perPicture = 1000.0 / pictures;
    std::printf("depth algorithms, %dx%d, %d pictures, single thread, CPU ms per picture\n", width,
                height, pictures);
    std::printf("  estimate (depth map %dx%d)  %7.2f\n", map.width, map.height, estimateTime * perPicture);
    std::printf("  synthesize (side by side)   %7.2f\n", synthesizeTime * perPicture);
    std::printf("  estimate + synthesize       %7.2f\n", (estimateTime + synthesizeTime) * perPicture);
    std::printf("  render depth map            %7.2f\n", renderTime * 1000.0 / ((pictures + 7) / 8));
    return 0;
}
