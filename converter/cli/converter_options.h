#pragma once
// Everything the command line asks for, checked and typed. Filled by parseArguments();
// the pipeline reads it and never the raw arguments.
#include <cstdint>
#include <optional>
#include <string>

#include "converter/depth/depth_stage.h"
#include "converter/filters/filter_chain_split.h"

namespace kalo::converter {

// FFmpeg's log levels (same numbers as AV_LOG_*), so -loglevel also quiets the libraries.
enum LogLevel : int {
    kLogQuiet = -8,
    kLogPanic = 0,
    kLogFatal = 8,
    kLogError = 16,
    kLogWarning = 24,
    kLogInfo = 32,
    kLogVerbose = 40,
    kLogDebug = 48,
    kLogTrace = 56,
};

enum class AudioChoice {
    Automatic,  // copy when the container takes the codec, otherwise encode to AAC
    Copy,       // copy or fail
    Aac,        // always encode to AAC
    Drop,       // -an
};

struct ConverterOptions {
    // general
    bool hideBanner = false;
    int logLevel = kLogInfo;
    bool overwrite = false;       // -y
    bool neverOverwrite = false;  // -n
    bool printStatus = true;      // -stats / -nostats
    bool benchmark = false;       // -benchmark: CPU figures per stage at the end

    // input (options placed before -i)
    std::string inputPath;
    std::optional<std::int64_t> inputSeekUs;      // -ss
    std::optional<std::int64_t> inputDurationUs;  // -t
    int decoderThreads = 0;                       // -threads before -i; 0: automatic

    // output (options placed after -i)
    std::string outputPath;
    std::string videoFilterText;  // -vf as given
    FilterChainSplit filters;     // -vf cut at `depth`
    depth::DepthFilterOptions depth;
    std::string videoEncoder = "libx264";
    std::string profile;          // empty: the encoder's default
    std::int64_t videoBitRate = 0;  // bits per second; 0: the encoder's default
    std::string preset;           // empty: the encoder's default
    std::string pixelFormat;      // empty or "yuv420p"
    int encoderThreads = 0;       // -threads after -i; 0: automatic
    std::optional<std::int64_t> outputSeekUs;      // -ss
    std::optional<std::int64_t> outputDurationUs;  // -t
    AudioChoice audio = AudioChoice::Automatic;
};

// The part of the input that becomes the output, in microseconds of the input's own
// timeline (relative to its start): input and output -ss add up, and each -t limits what
// follows its own -ss.
struct TimeWindow {
    std::int64_t startUs = 0;
    std::optional<std::int64_t> durationUs;
};

TimeWindow effectiveTimeWindow(const ConverterOptions& options);

}  // namespace kalo::converter
