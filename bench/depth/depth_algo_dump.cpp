// Developer tool: runs the depth algorithms over a raw YUV 4:2:0 clip and writes the
// side-by-side result and the depth map as raw YUV 4:2:0 clips of the same size, for
// looking at with ffmpeg/ffplay (e.g. ffmpeg -f rawvideo -pix_fmt yuv420p -s WxH -i f.yuv f.png).
//
//   kalo-depth-algo-dump WIDTH HEIGHT in.yuv sbs.yuv depth.yuv [depth filter options]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "converter/depth/depth_stage.h"

int main(int argc, char** argv) {
    using namespace kalo::depth;
    if (argc < 6) {
        std::fprintf(stderr, "usage: kalo-depth-algo-dump WIDTH HEIGHT in.yuv sbs.yuv depth.yuv [options]\n");
        return 2;
    }
    const int w = std::atoi(argv[1]);
    const int h = std::atoi(argv[2]);
    DepthFilterOptions options;
    std::string error;
    if (w < 2 || h < 2 || !parseDepthFilterOptions(argc > 6 ? argv[6] : "", options, error)) {
        std::fprintf(stderr, "%s\n", error.empty() ? "bad size" : error.c_str());
        return 2;
    }
    FILE* in = std::fopen(argv[3], "rb");
    FILE* sbs = std::fopen(argv[4], "wb");
    FILE* dep = std::fopen(argv[5], "wb");
    if (!in || !sbs || !dep) {
        std::fprintf(stderr, "cannot open files\n");
        return 1;
    }
    const int cw = (w + 1) / 2;
    const int ch = (h + 1) / 2;
    const std::size_t lumaSize = static_cast<std::size_t>(w) * h;
    const std::size_t chromaSize = static_cast<std::size_t>(cw) * ch;
    std::vector<std::uint8_t> frame(lumaSize + 2 * chromaSize), out(frame.size());
    auto estimator = createClassicalEstimator(options, w, h);
    auto synthesizer = createStereoSynthesizer(options, w, h);
    DepthMap map;
    int count = 0;
    int cuts = 0;
    while (std::fread(frame.data(), 1, frame.size(), in) == frame.size()) {
        const Yuv420View view{{frame.data(), w, w, h},
                              {frame.data() + lumaSize, cw, cw, ch},
                              {frame.data() + lumaSize + chromaSize, cw, cw, ch}};
        Yuv420Target target{{out.data(), w, w, h},
                            {out.data() + lumaSize, cw, cw, ch},
                            {out.data() + lumaSize + chromaSize, cw, cw, ch}};
        estimator->estimate(view, map);
        cuts += map.sceneCut ? 1 : 0;
        synthesizer->synthesize(view, map, target);
        std::fwrite(out.data(), 1, out.size(), sbs);
        renderDepthMap(map, target);
        std::fwrite(out.data(), 1, out.size(), dep);
        ++count;
    }
    std::fclose(in);
    std::fclose(sbs);
    std::fclose(dep);
    std::fprintf(stderr, "%d pictures, %d scene cuts\n", count, cuts);
    return 0;
}
