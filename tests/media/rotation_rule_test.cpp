// The rotation rule on streams built in memory: which of the display matrix and the
// "rotate" tag counts when a stream carries both (no muxer of our FFmpeg writes both into
// one file), quarter turns, and the fallbacks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/mem.h>
}

#include "media/av_handles.h"
#include "media/stream_rotation.h"

namespace {

// A stream with an optional display matrix turning `matrixClockwise` degrees and an
// optional "rotate" tag; owned by the returned format context.
AVStream* streamWith(kalo::InputContextPtr& owner, std::optional<double> matrixClockwise,
                     const char* tag, bool degenerateMatrix = false) {
    owner.reset(avformat_alloc_context());
    AVStream* stream = avformat_new_stream(owner.get(), nullptr);
    if (!stream) return nullptr;
    if (matrixClockwise || degenerateMatrix) {
        auto* matrix = reinterpret_cast<std::int32_t*>(
            av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(std::int32_t)));
        if (!matrix) return nullptr;
        if (degenerateMatrix) {
            std::memset(matrix, 0, 9 * sizeof(std::int32_t));
            matrix[8] = 1 << 30;
        } else {
            // av_display_rotation_set describes a clockwise turn (its reader, the
            // counter-clockwise av_display_rotation_get, gives the negated angle).
            av_display_rotation_set(matrix, *matrixClockwise);
        }
    }
    if (tag) av_dict_set(&stream->metadata, "ROTATE", tag, 0);
    return stream;
}

TEST(RotationRule, DisplayMatrixThenTagInQuarterTurns) {
    struct Case {
        const char* what;
        std::optional<double> matrix;
        const char* tag;
        bool degenerate;
        int rotation;
    } cases[] = {
        {"neither", std::nullopt, nullptr, false, 0},
        {"matrix 90", 90.0, nullptr, false, 90},
        {"matrix 180", 180.0, nullptr, false, 180},
        {"matrix 270", 270.0, nullptr, false, 270},
        {"tag 90", std::nullopt, "90", false, 90},
        {"tag -90", std::nullopt, "-90", false, 270},
        {"tag 270abc", std::nullopt, "270abc", false, 270},
        {"unreadable tag", std::nullopt, "sideways", false, 0},
        {"both agree", 90.0, "90", false, 90},
        {"both disagree: the matrix wins", 90.0, "270", false, 90},
        {"matrix 0 beside a tag: the matrix wins", 0.0, "180", false, 0},
        {"degenerate matrix: the tag", std::nullopt, "180", true, 180},
        {"degenerate matrix alone", std::nullopt, nullptr, true, 0},
        {"matrix 80: nearest quarter", 80.0, nullptr, false, 90},
        {"matrix 200: nearest quarter", 200.0, nullptr, false, 180},
        {"tag 44: nearest quarter", std::nullopt, "44", false, 0},
        {"tag 350: nearest quarter", std::nullopt, "350", false, 0},
    };
    for (const Case& c : cases) {
        kalo::InputContextPtr owner;
        const AVStream* stream = streamWith(owner, c.matrix, c.tag, c.degenerate);
        ASSERT_NE(stream, nullptr) << c.what;
        EXPECT_EQ(kalo::streamRotation(stream), c.rotation) << c.what;
    }
    EXPECT_EQ(kalo::streamRotation(nullptr), 0);
}

TEST(RotationRule, NearestQuarterTurn) {
    const int cases[][2] = {{0, 0},     {44, 0},    {45, 90},  {90, 90},   {134, 90}, {135, 180},
                            {269, 270}, {314, 270}, {315, 0},  {359, 0},   {-90, 270}, {450, 90}};
    for (const auto& c : cases) EXPECT_EQ(kalo::nearestQuarterTurn(c[0]), c[1]) << c[0];
}

}  // namespace
