#pragma once
// The MP4 or Matroska file being written: one video stream,
// optionally one audio stream. Video packets are written as they come; audio packets wait
// until the video has reached their time, so a stopped job ends with audio and video of
// the same length. The moov atom goes to the front (faststart), and side-by-side output
// carries the `st3d` box (written by the MP4 muxer only at "unofficial" strictness).
// Thread-safe: the encoder thread writes video, the reader thread queues audio.
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "media/av_handles.h"

namespace kalo::converter {

class AudioTrack;

class OutputMuxer {
public:
    enum class Ending { Complete, Stopped };

    ~OutputMuxer();

    // `url` is what FFmpeg opens ("file:" and the path); `interrupt` ends blocking writes.
    bool open(const std::string& url, const AVOutputFormat* format, const AVCodecContext* video,
              bool sideBySide, const AudioTrack* audio, const AVIOInterruptCB& interrupt, std::string& error);

    bool writeVideo(AVPacket* packet, AVRational timeBase, std::string& error);
    bool queueAudio(AVPacket* packet, AVRational timeBase, std::string& error);

    // Writes the remaining audio (all of it, or up to the video's end when stopped) and the
    // trailer, and closes the file.
    bool close(Ending ending, std::string& error);

    // Closes the file without finishing it (the caller deletes it).
    void abandon();

    std::int64_t bytesWritten() const { return bytesWritten_.load(); }
    std::int64_t videoPacketsWritten() const { return videoPackets_.load(); }
    std::int64_t videoEndUs() const { return videoEndUs_.load(); }  // -1: nothing yet

private:
    bool writeLocked(AVPacket* packet, std::string& error);
    bool releaseAudioLocked(std::int64_t untilUs, std::string& error);

    std::mutex mutex_;
    AVFormatContext* context_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    std::deque<PacketPtr> pendingAudio_;  // in the audio stream's time base
    std::atomic<std::int64_t> bytesWritten_{0};
    std::atomic<std::int64_t> videoPackets_{0};
    std::atomic<std::int64_t> videoEndUs_{-1};
    bool headerWritten_ = false;
};

}  // namespace kalo::converter
