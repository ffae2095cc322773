#pragma once
// The preview's media engine: opens one source video, decodes it on a reader thread
// ("packetDistributorThread") and a decoder thread ("videoDecodeThread"), filters the
// pictures through the selected filter graph and draws the newest one on the main thread.
// One engine lives as long as the converter screen; opening another file reuses it.
//
// Threads: open, release, the render step, seek, replay, pause and the filter selection run
// on the main thread. The shared flags are atomics (PlaybackFlags); `mutex` guards the
// pictures, the texture and the filter map. The packet queue's own lock is never taken while
// `mutex` is held, and every wait of a worker thread is bounded.
#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "media/frame_timing.h"
#include "media/video_format.h"
#include "player/media_info.h"
#include "player/packet_queue.h"
#include "player/playback_flags.h"
#include "player/render_data.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

class FFmpegHelper : public PlaybackFlags {
public:
    class FilterImage;  // player/filter_image.h

    // What a filter graph's source is told about the pictures it will receive.
    using PictureFormat = kalo::VideoFormat;

    // Results of open.
    static constexpr int openFailed = -1;        // unreadable file, or out of memory
    static constexpr int noVideoStream = -2;     // no stream information, or no video
    static constexpr int decoderFailed = -3;     // a decoder or the scaler cannot be set up

    FFmpegHelper();
    ~FFmpegHelper();
    FFmpegHelper(const FFmpegHelper&) = delete;
    FFmpegHelper& operator=(const FFmpegHelper&) = delete;

    // --- Media source -------------------------------------------------------------------
    // Opens `path` (UTF-8) and starts the reader thread; the texture is created on
    // `renderer` (may be null: nothing is drawn until recreateTexture). Returns 0 or one of
    // the failure codes above; a failed open has freed everything it acquired.
    int open(const std::string& path, SDL_Renderer* renderer);
    // Stops the threads (they finish within about 100 ms) and frees everything of the file.
    void release();
    void resetState();
    // Reopens the video decoder, then the audio decoder when there is an audio stream.
    // Returns the last avcodec_open2 result, negative on failure.
    int reopenDecoders();
    void recreateTexture(SDL_Renderer* renderer);
    void layoutVideo(int areaWidth, int areaHeight);
    int decoderWidth() const;
    int decoderHeight() const;

    // --- Playback (main thread) ---------------------------------------------------------
    // The render step, bound into `renderEntry`: applies a pending seek, reports progress,
    // uploads the newest picture and draws it turned by `rotation` into `destRect`.
    void renderFrame(SDL_Renderer** renderer, SDL_Rect* rect, SDL_Texture* texture);
    // Applies a pending seek (restarting the threads) and reports progress.
    void syncPosition();
    // Asks for the seek point at or before fraction × totalFrames; applied by syncPosition.
    void seek(float fraction);
    // After the end: plays again from the first frame. Otherwise a plain resume.
    void replay();
    // Flips `paused` and wakes the threads, so a resume starts at once (a plain store to
    // `paused` is seen within 50 ms). Returns the new value.
    bool togglePause();
    // Fills `thumbnailTexture` (created on `renderer` when missing) with the picture at 20 %
    // of the source, then rewinds to the first frame, paused. Waits at most
    // `thumbnailWaitMs` for the decoder. Returns whether a picture was captured; a source
    // that yields none in that time is reported on one line of standard output.
    bool captureThumbnail(SDL_Renderer* renderer);
    // Waits at most `limitMs` until the threads started by the last open, applied seek or
    // replay have shown their first picture (`frame` and `position` then belong to the new
    // place). Returns false on time-out, or when the decoder ended or stopped without one.
    bool waitForPicture(std::uint32_t limitMs);

    // --- Filter graphs (main thread) ----------------------------------------------------
    // The filter-graph description of a filter index ("" when it has none).
    std::string filterDescription(int index) const;
    // Builds the graph of `index` for the open file on the calling thread and stores it
    // (also when it failed). Returns 0 when ready, -1 otherwise.
    int buildFilter(int index);
    // The selection of the filter pop-up: builds the graph on "filter-thread" when needed.
    void setFilter(std::uint8_t index);
    // The keyboard shortcuts: selects `index` when no filter is active, else none.
    void toggleFilter(int index);
    // Waits for every "filter-thread" to finish.
    void waitForFilterBuilds();

    // --- State --------------------------------------------------------------------------
    std::map<std::int32_t, std::shared_ptr<FilterImage>> filters;  // under `mutex`
    std::atomic<std::int32_t> activeFilter{-1};

    AVFormatContext* formatContext = nullptr;
    AVCodecContext* videoDecoder = nullptr;
    AVCodecContext* audioDecoder = nullptr;
    AVFrame* frame = nullptr;          // the newest decoded picture (under `mutex`)
    AVFrame* filteredFrame = nullptr;  // the newest filtered picture (under `mutex`)
    AVPacket* packet = nullptr;        // the reader's packet
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    std::int32_t rotation = 0;         // clockwise degrees, 0..359
    SwsContext* scaler = nullptr;      // conversion to planar YUV 4:2:0 (under `mutex`)
    bool portrait = false;
    SDL_Texture* texture = nullptr;    // streaming YV12, decoder size (under `mutex`)
    SDL_Rect textureRect{0, 0, 0, 0};
    SDL_Rect destRect{0, 0, 0, 0};
    float displayScale = 0.85f;
    SDL_Texture* thumbnailTexture = nullptr;
    MediaInfo info;
    SDL_Thread* readerThread = nullptr;
    SDL_Thread* decoderThread = nullptr;  // started and joined by the reader thread
    std::shared_ptr<PacketQueue> packetQueue;
    SDL_mutex* mutex = nullptr;
    std::atomic<bool> opened{false};
    bool needConvert = false;
    std::function<void(float)> progressCallback;
    std::shared_ptr<RenderData> renderEntry;
    std::function<void()> endedCallback;
    // Receives the filter index that toggleFilter offers to the conversion job (-1: none).
    std::function<void(int)> filterChoiceCallback;
    std::int64_t totalFrames = 0;
    std::set<std::int64_t> seekPoints;  // ticks of the video stream, from its start
    std::int32_t videoIndex = -1;
    std::int32_t audioIndex = -1;
    kalo::FrameTiming timing;
    std::int64_t streamStart = 0;       // the video stream's first tick
    // The decoder's picture format as opened: the texture's size and what filter graphs
    // are built for (the decoder thread may change the context's own fields later).
    PictureFormat sourceFormat;

    // The program whose folder holds the "filter" folder of ".cube" files: the running
    // executable unless set.
    std::filesystem::path programPath;
    // Off: the decoder does not sleep between pictures (used to measure decoding speed).
    std::atomic<bool> pacing{true};
    // Threads FFmpeg may use inside the video decoder and inside each filter graph; 0 lets
    // it take one per core. New engines start with `defaultCodecThreads`.
    static int defaultCodecThreads;
    int codecThreads = defaultCodecThreads;
    std::uint32_t thumbnailWaitMs = 1000;
    // Called on the decoder thread with each decoded picture just before it is published.
    // Tests widen race windows with it; set it only while no file is open.
    std::function<void()> beforePicturePublished;

private:
    struct FilterBuild;
    enum class DecodeStep {
        NeedInput,  // the decoder wants the next packet
        Drained,    // the decoder has given its last picture
        Stop,       // a stop was requested
    };

    int openMedia(const std::string& path, SDL_Renderer* renderer);
    void closeMedia();
    bool startReader();
    void stopThreads();
    // With the threads stopped: the next threads publish pictures for the current epoch.
    void beginRun();
    // Wakes the worker threads from their pause, pacing and end-of-input waits.
    void wakeThreads();
    // Waits on the wake condition for at most `milliseconds` unless `done` holds already.
    template <typename Done>
    void waitForWake(std::uint32_t milliseconds, Done done);
    // Stops the threads, reopens the decoders, sets `position` to `frameNumber`, moves the
    // demuxer before frame `frameNumber` + 1 and starts the threads again.
    void restartAt(std::int64_t frameNumber);

    static int readerEntry(void* engine);
    static int decoderEntry(void* engine);
    int readerLoop();
    int decoderLoop();
    // Takes every picture the decoder has ready and shows each in turn, paced.
    DecodeStep receivePictures(AVFrame* decoded, AVFrame* scratch);
    // Publishes a picture with its filtered form (filtered into `scratch` first); false
    // (picture dropped) when a seek made this run stale.
    bool showPicture(AVFrame* decoded, AVFrame* scratch);
    void markEnded();
    bool waitWhilePaused();
    void sleepUnlessStopped(int milliseconds);

    // Runs `source` through the ready graph of `index` into `out`, holding `filterMutex`
    // but not `mutex`, so the render step never waits for a filter run. Returns whether
    // `out` received a picture; failures other than "needs more input" print errorMessage.
    bool runFilter(AVFrame* source, int index, AVFrame* out, const char* errorMessage);
    // Main thread: runs the current picture through the selected graph when the selection
    // changed or nothing filtered is shown yet (a paused picture, or the last one).
    void refilterCurrentPicture(const char* errorMessage);
    std::shared_ptr<FilterImage> readyFilter(int index);
    // Under `mutex`: the picture to upload, converted to YUV 4:2:0 of the texture's size
    // when it is not already that.
    AVFrame* uploadablePicture(AVFrame* picture);
    void storeFilter(int index, std::shared_ptr<FilterImage> image);
    void selectFilter(int index);
    void startFilterBuild(int index);
    void reapFilterBuilds(bool waitForAll);
    static int filterThreadMain(void* build);

    AVFrame* convertedFrame = nullptr;    // the conversion picture (under `mutex`)
    std::uint64_t pictureSerial = 0;      // changes with `frame` / `filteredFrame`
    std::uint64_t convertedSerial = 0;    // the serial `convertedFrame` was made from
    const AVFrame* convertedSource = nullptr;
    bool seekPending = false;             // main thread: seek() waits for syncPosition
    std::int64_t seekTarget = 0;          // main thread: the frame seek() asked for
    bool clearPictureOnRestart = false;   // main thread: captureThumbnail's rewind
    // Who may write `position`, `frame` and the end of playback: the threads of run
    // `runEpoch` while it equals `pictureEpoch`. A seek moves `pictureEpoch` on the main
    // thread at once, so a picture still in flight from before the seek is dropped instead
    // of overwriting the seek's position; the threads restarted for the seek take the new
    // epoch. Both under `mutex`; `runEpoch` changes only while no thread runs.
    std::uint64_t pictureEpoch = 0;
    std::uint64_t runEpoch = 0;
    std::atomic<bool> runShowedPicture{false};  // this run has published its first picture
    SDL_cond* pictureShown = nullptr;     // with `mutex`: a picture was published, or the
                                          // decoder ended or stopped
    SDL_mutex* wakeMutex = nullptr;       // with `wakeCondition`: pause, resume and stop
    SDL_cond* wakeCondition = nullptr;
    std::set<int> filtersBuilding;        // under `mutex`
    SDL_mutex* filterMutex = nullptr;     // one filter run at a time through the graphs
    // Changes with every filter selection: a picture filtered for an earlier selection is
    // not shown with the new one.
    std::atomic<std::uint64_t> filterSelection{0};
    AVFrame* refilterSource = nullptr;    // main thread: the render step's filter run
    AVFrame* refilterOutput = nullptr;
    std::vector<std::shared_ptr<FilterBuild>> filterBuilds;  // main thread
};
