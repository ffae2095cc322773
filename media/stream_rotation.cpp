#include "media/stream_rotation.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

namespace kalo {
namespace {

std::optional<int> displayMatrixRotation(const AVStream* stream) {
    std::size_t size = 0;
    const std::uint8_t* data = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!data || size < 9 * sizeof(std::int32_t)) return std::nullopt;
    return rotationFromDisplayMatrix(reinterpret_cast<const std::int32_t*>(data));
}

std::optional<int> tagRotation(const AVStream* stream) {
    // Matched without regard to case: Matroska keeps the tag as "ROTATE".
    const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "rotate", nullptr, 0);
    if (!tag) return std::nullopt;
    return parseRotateTag(tag->value);
}

}  // namespace

std::optional<int> parseRotateTag(const char* text) {
    if (!text) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

int normalizeRotation(int degrees) {
    const int turned = degrees % 360;
    return turned < 0 ? turned + 360 : turned;
}

int nearestQuarterTurn(int degrees) {
    const int turned = normalizeRotation(degrees);
    return (turned + 45) / 90 % 4 * 90;
}

std::optional<int> rotationFromDisplayMatrix(const std::int32_t matrix[9]) {
    const double counterClockwise = av_display_rotation_get(matrix);
    if (std::isnan(counterClockwise)) return std::nullopt;
    return normalizeRotation(static_cast<int>(std::lround(-counterClockwise)));
}

int streamRotation(const AVStream* stream) {
    if (!stream) return 0;
    if (std::optional<int> degrees = displayMatrixRotation(stream)) return nearestQuarterTurn(*degrees);
    if (std::optional<int> degrees = tagRotation(stream)) return nearestQuarterTurn(*degrees);
    return 0;
}

bool isPortrait(int width, int height, int rotation) {
    int n = 0;
    int d = 0;
    av_reduce(&n, &d, width, height, 10000);
    const bool quarterTurn = rotation == 90 || rotation == 270;
    return quarterTurn ? n > d : d > n;
}

}  // namespace kalo
