#pragma once
// The seam between the converter's pipeline and its 2D-to-3D algorithms.
//
// The pipeline (converter/pipeline) owns threads, queues and FFmpeg; the algorithms
// (converter/depth) own pictures only. The pipeline hands every decoded, pre-filtered
// picture as planar YUV 4:2:0 (8 bit, chroma planes (w+1)/2 x (h+1)/2) to a
// DepthEstimator on one thread, then the picture and its depth map to a
// StereoSynthesizer (or DepthMapRenderer) on another, and encodes what comes out.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kalo::depth {

struct PlaneView {
    const std::uint8_t* data = nullptr;
    int linesize = 0;
    int width = 0;
    int height = 0;
};

struct MutablePlaneView {
    std::uint8_t* data = nullptr;
    int linesize = 0;
    int width = 0;
    int height = 0;
};

// One YUV 4:2:0 picture as the pipeline's frames hold it (an AVFrame's planes).
struct Yuv420View {
    PlaneView y, u, v;
};

struct Yuv420Target {
    MutablePlaneView y, u, v;
};

enum class OutputMode { SideBySide, DepthMap };
enum class ScenePrior { Mixed, Portrait, Landscape };

// Options of the `depth` filter: "outputmode=sbs|depth[:mode=portrait|landscape][:dl=N]".
struct DepthFilterOptions {
    OutputMode outputMode = OutputMode::SideBySide;
    ScenePrior scenePrior = ScenePrior::Mixed;
    int strength = 25;  // dl: see depth_filter_options.cpp for unit and range
};

// Parses the option text of one `depth` filter instance (what follows "depth=", possibly
// empty). Returns false and fills `error` with one line on an unknown key or a bad value.
bool parseDepthFilterOptions(const std::string& text, DepthFilterOptions& options,
                             std::string& error);

// Depth at reduced resolution: 0 = farthest, 255 = nearest. The estimator decides its
// own working size; consumers scale as they need.
struct DepthMap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> values;  // width * height, row-major
    bool sceneCut = false;             // true when temporal smoothing was reset here
};

// Stateful: called once per picture, in presentation order, from a single thread.
class DepthEstimator {
public:
    virtual ~DepthEstimator() = default;
    virtual void estimate(const Yuv420View& picture, DepthMap& depth) = 0;
};

// The built-in classical estimator for pictures of the given full size.
std::unique_ptr<DepthEstimator> createClassicalEstimator(const DepthFilterOptions& options,
                                                         int width, int height);

// Stateless per picture (safe to reuse on one thread). Writes a side-by-side pair of
// the picture's own size into `out`: left view squeezed into the left half, right view
// into the right half.
class StereoSynthesizer {
public:
    virtual ~StereoSynthesizer() = default;
    virtual void synthesize(const Yuv420View& picture, const DepthMap& depth,
                            Yuv420Target& out) = 0;
};

std::unique_ptr<StereoSynthesizer> createStereoSynthesizer(const DepthFilterOptions& options,
                                                           int width, int height);

// outputmode=depth: the depth map itself as a grey picture of the full size
// (near bright, far dark, the full range used; chroma neutral).
void renderDepthMap(const DepthMap& depth, Yuv420Target& out);

}  // namespace kalo::depth
