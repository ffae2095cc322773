#include "player/frame_pacing.h"

int pacingDelayMs(float fps, unsigned elapsedMs) {
    if (!(fps > 0.0f)) return 0;
    const float delay = 1000.0f / fps - static_cast<float>(elapsedMs) - 1.0f;
    return delay > 0.0f ? static_cast<int>(delay) : 0;
}
