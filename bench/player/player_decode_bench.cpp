// Plays a clip through the preview engine's reader and decoder threads with pacing off and
// prints how fast the pictures came: "frames=N seconds=S fps=F".
//
//   kalo-player-decode-bench clip.mp4 [rounds]
//
// Each round opens the clip afresh and waits for the end of the stream; the best round is
// printed. Nothing is drawn: this measures demuxing, decoding and the hand-over of pictures.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "player/ffmpeg_helper.h"

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s clip [rounds]\n", argv[0]);
        return 2;
    }
    const std::string clip = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;

    double bestSeconds = 0;
    std::int64_t frames = 0;
    FFmpegHelper engine;
    for (int round = 0; round < rounds; ++round) {
        engine.pacing = false;
        const auto start = std::chrono::steady_clock::now();
        const int result = engine.open(clip, nullptr);
        if (result != 0) {
            std::fprintf(stderr, "cannot open %s (%d)\n", clip.c_str(), result);
            return 1;
        }
        while (!engine.ended) SDL_Delay(1);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        frames = engine.position;
        engine.release();
        if (round == 0 || seconds < bestSeconds) bestSeconds = seconds;
    }
    std::printf("frames=%lld seconds=%.3f fps=%.1f\n", static_cast<long long>(frames), bestSeconds,
                static_cast<double>(frames) / bestSeconds);
    return 0;
}
