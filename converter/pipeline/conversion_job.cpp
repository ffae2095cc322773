#include "converter/pipeline/conversion_job.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "converter/console/console_log.h"
#include "converter/console/status_line.h"
#include "converter/filters/video_filter_graph.h"
#include "converter/pipeline/audio_track.h"
#include "converter/pipeline/depth_stages.h"
#include "converter/pipeline/encoder_stage.h"
#include "converter/pipeline/media_input.h"
#include "converter/pipeline/output_container.h"
#include "converter/pipeline/output_file.h"
#include "converter/pipeline/output_muxer.h"
#include "converter/pipeline/pipeline_control.h"
#include "converter/pipeline/pipeline_queues.h"
#include "converter/pipeline/reader_stage.h"
#include "converter/pipeline/stop_interrupt.h"
#include "converter/pipeline/video_decoder.h"
#include "converter/pipeline/video_encoder.h"
#include "converter/platform/cpu_clock.h"
#include "converter/platform/stop_requests.h"

namespace kalo::converter {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStatusInterval = std::chrono::milliseconds(400);  // the status row changes at least twice a second
constexpr auto kPollInterval = std::chrono::milliseconds(40);
// A stop that comes once the whole input was read lets the last pictures through for this
// long: at the end of a run that is all they need, and a complete file beats a stopped
// one. Far more pictures still queued (a large picture, a slow filter) would keep the
// stop waiting for seconds, so past this the stop takes effect as it would mid-run.
constexpr auto kFinishGraceAfterStop = std::chrono::milliseconds(300);

// Filters that turn the picture upright, as players would show it.
std::string uprightFilters(int clockwiseDegrees) {
    switch (clockwiseDegrees) {
    case 90: return "transpose=clock";
    case 180: return "hflip,vflip";
    case 270: return "transpose=cclock";
    default: return {};
    }
}

std::string joinFilters(const std::string& first, const std::string& second) {
    if (first.empty()) return second;
    if (second.empty()) return first;
    return first + "," + second;
}

// libx264 takes 4:2:0 pictures of even sizes only: an odd width or height loses its last
// column or row, and the user is told so in one line.
bool trimToEvenSize(VideoFilterGraph& graph, const std::string& description, const VideoFormat& input,
                    std::string& error) {
    const VideoFormat out = graph.output();
    if (out.width % 2 == 0 && out.height % 2 == 0) return true;
    const int width = out.width & ~1;
    const int height = out.height & ~1;
    if (width < 2 || height < 2) return true;  // too small for anything: the encoder says so
    const std::string size = std::to_string(width) + ":" + std::to_string(height);
    if (!graph.configure(joinFilters(description, "crop=" + size + ":0:0"), input, error)) return false;
    consoleLog().message(kLogWarning, "The output pictures are " + std::to_string(out.width) + "x" +
                                          std::to_string(out.height) +
                                          ", but H.264 needs an even width and height: trimmed by one pixel to " +
                                          std::to_string(width) + "x" + std::to_string(height) + ".");
    return true;
}

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

struct ConversionJob::Parts {
    explicit Parts(const std::function<int()>& stopRequests)
        : inputInterrupt(stopRequests, 1), outputInterrupt(stopRequests, 1) {}

    // A first stop ends a blocking read of the input at once. The output gives up only
    // while it is being set up: once the job runs, a stopped job still finishes its file.
    StopInterrupt inputInterrupt;
    StopInterrupt outputInterrupt;
    MediaInput input;
    VideoDecoder decoder;
    VideoFilterGraph filtersBefore;
    VideoFilterGraph filtersAfter;
    std::unique_ptr<depth::DepthEstimator> estimator;
    std::unique_ptr<depth::StereoSynthesizer> synthesizer;
    VideoEncoder encoder;
    std::optional<AudioTrack> audio;
    std::unique_ptr<OutputFile> file;
    OutputMuxer muxer;
    PipelineControl control;
    PipelineCounters counters;
    PipelineQueues queues;
    TimeWindow window;
    bool sideBySide = false;
};

ConversionJob::ConversionJob(const ConverterOptions& options, std::function<int()> stopRequests)
    : options_(options), stopRequests_(std::move(stopRequests)), parts_(std::make_unique<Parts>(stopRequests_)) {}

ConversionJob::~ConversionJob() = default;

bool ConversionJob::prepare(std::string& error) {
    Parts& p = *parts_;
    const ConverterOptions& o = options_;

    if (!p.input.open(o.inputPath, p.inputInterrupt.callback(), error)) return false;
    std::string outputFile;
    if (!outputFileName(o.outputPath, outputFile, error)) return false;
    const AVOutputFormat* container = chooseOutputContainer(outputFile, error);
    if (!container) return false;
    if (!checkOutputTarget(outputFile, {o.overwrite, o.neverOverwrite}, error)) return false;
    if (consoleLog().level() >= kLogInfo) av_dump_format(p.input.context(), 0, o.inputPath.c_str(), 0);

    if (!p.decoder.open(p.input.videoStream(), o.decoderThreads, error)) return false;
    p.window = effectiveTimeWindow(o);
    p.input.seekTo(p.window.startUs);

    VideoFormat sourceFormat = p.decoder.format();
    if (sourceFormat.pixelFormat == AV_PIX_FMT_NONE)
        sourceFormat.pixelFormat = static_cast<AVPixelFormat>(p.input.videoStream()->codecpar->format);
    const std::string before = joinFilters(uprightFilters(p.input.displayRotation()), o.filters.before);
    if (!p.filtersBefore.configure(before, sourceFormat, error)) return false;

    const VideoFormat& pictures = p.filtersBefore.output();
    if (o.filters.hasDepth) {
        if (pictures.width < 2 || pictures.height < 2) {
            error = "The pictures reaching the depth filter are too small (" + std::to_string(pictures.width) + "x" +
                    std::to_string(pictures.height) + ")";
            return false;
        }
        p.sideBySide = o.depth.outputMode == depth::OutputMode::SideBySide;
        p.estimator = depth::createClassicalEstimator(o.depth, pictures.width, pictures.height);
        if (p.sideBySide) p.synthesizer = depth::createStereoSynthesizer(o.depth, pictures.width, pictures.height);
        if (!p.estimator || (p.sideBySide && !p.synthesizer)) {
            error = "Cannot set up the depth filter for " + std::to_string(pictures.width) + "x" +
                    std::to_string(pictures.height) + " pictures";
            return false;
        }
    }
    if (!p.filtersAfter.configure(o.filters.after, pictures, error)) return false;
    if (!trimToEvenSize(p.filtersAfter, o.filters.after, pictures, error)) return false;

    VideoEncoderSettings settings;
    settings.profile = o.profile;
    settings.preset = o.preset;
    settings.bitRate = o.videoBitRate;
    settings.threads = o.encoderThreads;
    settings.sideBySide = p.sideBySide;
    settings.globalHeader = (container->flags & AVFMT_GLOBALHEADER) != 0;
    if (!p.encoder.open(p.filtersAfter.output(), settings, error)) return false;

    if (p.input.audioStream() && o.audio != AudioChoice::Drop) {
        p.audio.emplace();
        if (!p.audio->open(p.input.audioStream(), o.audio, container, p.window, p.input.startOffsetUs(), error))
            return false;
    }

    // Everything that reads is open now (the input, files named by filters): the output
    // must be none of them, whatever their names.
    if (!checkOutputIsNotRead(outputFile, error)) return false;

    // Everything is checked: only now does a file appear, beside the target.
    p.file = std::make_unique<OutputFile>(outputFile);
    if (!p.file->create(error)) return false;
    if (!p.muxer.open(p.file->temporaryUrl(), container, p.encoder.context(), p.sideBySide,
                      p.audio ? &*p.audio : nullptr, p.outputInterrupt.callback(), error))
        return false;
    p.outputInterrupt.never();

    const VideoFormat& out = p.filtersAfter.output();
    const AVCodecContext* encoder = p.encoder.context();
    std::string summary = "Output: '" + o.outputPath + "', H.264 " + std::to_string(out.width) + "x" +
                          std::to_string(out.height);
    if (!o.profile.empty()) summary += " " + o.profile;
    if (encoder->bit_rate > 0) summary += " " + std::to_string(encoder->bit_rate / 1000) + " kb/s";
    if (o.filters.hasDepth) summary += p.sideBySide ? ", side by side" : ", depth map";
    if (p.audio) summary += std::string(", audio ") + (p.audio->copying() ? "copied" : "encoded to AAC");
    consoleLog().message(kLogInfo, summary);
    return true;
}

JobOutcome ConversionJob::run() {
    Parts& p = *parts_;
    const ConverterOptions& o = options_;
    const bool depthStages = o.filters.hasDepth;
    BoundedQueue<FramePtr>& encoderInput = depthStages ? p.queues.toEncode : p.queues.decoded;

    ReaderStage reader({p.input, p.decoder, p.filtersBefore, p.audio ? &*p.audio : nullptr, p.muxer, p.window,
                        p.control, p.queues, p.queues.decoded});
    EncoderStage encoder({encoderInput, p.filtersAfter, p.encoder, p.muxer, p.control, p.counters, p.queues});
    std::optional<DepthEstimationStage> estimation;
    std::optional<SynthesisStage> synthesis;
    if (depthStages) {
        const VideoFormat& pictures = p.filtersBefore.output();
        estimation.emplace(std::move(p.estimator), p.control, p.counters, p.queues);
        synthesis.emplace(std::move(p.synthesizer), pictures.width, pictures.height, p.control, p.counters,
                          p.queues);
    }

    const Clock::time_point start = Clock::now();
    auto printStatus = [&](std::int64_t frames) {
        if (!o.printStatus) return;
        ProgressSnapshot snapshot;
        snapshot.frames = frames;
        snapshot.elapsedSeconds = seconds(Clock::now() - start);
        snapshot.quality = p.counters.quality.load();
        snapshot.bytesWritten = p.muxer.bytesWritten();
        snapshot.outputSeconds = p.muxer.videoEndUs() >= 0 ? p.muxer.videoEndUs() / 1e6 : -1;
        consoleLog().status(formatStatusLine(snapshot));
    };

    std::vector<std::thread> threads;
    std::atomic<bool> readerDone{false};
    threads.emplace_back([&] {
        reader.run();
        p.counters.readerCpuSeconds = threadCpuSeconds();
        if (reader.reachedEnd()) consoleLog().message(kLogVerbose, "The input was read to its end");
        readerDone = true;
    });
    if (depthStages) {
        threads.emplace_back([&] { estimation->run(); });
        threads.emplace_back([&] { synthesis->run(); });
    }
    threads.emplace_back([&] {
        encoder.run();
        p.counters.encoderThreadCpuSeconds = threadCpuSeconds();
    });

    Clock::time_point nextStatus = start;
    Clock::time_point stopAt{};
    const auto sinceStop = [&] {
        return std::to_string(static_cast<int>(seconds(Clock::now() - stopAt) * 1000)) + " ms after the stop request";
    };
    bool finishingAfterStop = false;
    Clock::time_point finishBy{};
    const auto takeStopRequests = [&] {
        const int requests = stopRequests_();
        if (requests < 1) return;
        if (!p.control.stopRequested()) {
            // Once the whole input was read, the last pictures are on their way: letting
            // them through is the quickest way to a complete file, if they need no more
            // than a moment. A second request, or the moment passing, stops as usual.
            if (reader.reachedEnd() && requests < 2) {
                if (!finishingAfterStop) {
                    consoleLog().message(kLogVerbose, "The input was read to its end: letting the last pictures through");
                    finishingAfterStop = true;
                    stopAt = Clock::now();
                    finishBy = stopAt + kFinishGraceAfterStop;
                }
                if (Clock::now() < finishBy) return;
                consoleLog().message(kLogVerbose, "The last pictures need longer: stopping");
            }
            if (!finishingAfterStop) stopAt = Clock::now();
            p.control.requestStop(stopAt);
            p.queues.abortAll();
            consoleLog().message(kLogVerbose, "Stop requested: finishing the file written so far");
        }
        if (requests >= 2) p.control.cutFlushShort();
    };
    while (!encoder.finished()) {
        std::this_thread::sleep_for(kPollInterval);
        takeStopRequests();
        // The reader may sit in a read that never returns (an input that stalls).
        if (p.control.stopRequested() && !readerDone) wakeBlockedThread(threads.front());
        if (Clock::now() >= nextStatus) {
            printStatus(p.muxer.videoPacketsWritten());
            nextStatus = Clock::now() + kStatusInterval;
        }
    }
    // A stop that ended the reader's read may have come after the last poll.
    takeStopRequests();
    // The encoder is done, so nothing consumes any more: release whoever still waits.
    p.queues.abortAll();
    for (std::thread& thread : threads) thread.join();
    if (p.control.stopRequested()) consoleLog().message(kLogVerbose, "Pipeline ended " + sinceStop());

    const bool completed = !p.control.failed() && reader.reachedEnd() && encoder.flushedFully();
    JobOutcome outcome;
    if (p.control.failed() || (!completed && !p.control.stopRequested())) {
        p.muxer.abandon();
        p.file->discard();
        if (o.printStatus) consoleLog().endStatus();
        outcome.result = JobResult::Failed;
        outcome.message = p.control.failed() ? p.control.failure() : "The conversion ended early for no known reason";
        return outcome;
    }
    if (!completed && p.muxer.videoPacketsWritten() == 0) {
        p.muxer.abandon();
        p.file->discard();
        if (o.printStatus) consoleLog().endStatus();
        outcome.result = JobResult::Stopped;
        outcome.message = "Stopped before any picture was written; '" + o.outputPath + "' was left as it was.";
        return outcome;
    }
    // The last status line tells every frame the file will hold.
    printStatus(p.muxer.videoPacketsWritten());
    if (o.printStatus) consoleLog().endStatus();
    std::string error;
    if (!p.muxer.close(completed ? OutputMuxer::Ending::Complete : OutputMuxer::Ending::Stopped, error) ||
        !p.file->commit(error)) {
        p.file->discard();
        outcome.result = JobResult::Failed;
        outcome.message = error;
        return outcome;
    }
    if (p.control.stopRequested()) consoleLog().message(kLogVerbose, "File finished " + sinceStop());

    if (o.benchmark) {
        const ProcessCpuTimes cpu = processCpuTimes();
        char line[256];
        std::snprintf(line, sizeof line, "bench: utime=%.3fs stime=%.3fs rtime=%.3fs", cpu.userSeconds,
                      cpu.systemSeconds, seconds(Clock::now() - start));
        consoleLog().message(kLogInfo, line);
        const auto perFrame = [](double total, std::int64_t frames) { return frames > 0 ? total * 1000.0 / frames : 0.0; };
        std::snprintf(line, sizeof line, "bench: depth=%.2fms/frame synthesis=%.2fms/frame frames=%lld (thread CPU time)",
                      perFrame(p.counters.depthCpuSeconds.load(), p.counters.depthFrames.load()),
                      perFrame(p.counters.synthesisCpuSeconds.load(), p.counters.synthesisFrames.load()),
                      static_cast<long long>(p.counters.depthFrames.load()));
        consoleLog().message(kLogInfo, line);
        const std::int64_t frames = std::max<std::int64_t>(1, p.muxer.videoPacketsWritten());
        std::snprintf(line, sizeof line, "bench: reader=%.2fms/frame encoder-thread=%.2fms/frame (thread CPU time)",
                      p.counters.readerCpuSeconds.load() * 1000.0 / frames,
                      p.counters.encoderThreadCpuSeconds.load() * 1000.0 / frames);
        consoleLog().message(kLogInfo, line);
    }

    outcome.result = completed ? JobResult::Completed : JobResult::Stopped;
    if (!completed)
        outcome.message = "Stopped: " + std::to_string(p.muxer.videoPacketsWritten()) + " frames (" +
                          formatClockTime(p.muxer.videoEndUs() / 1e6) + ") written to '" + o.outputPath + "'.";
    return outcome;
}

}  // namespace kalo::converter
