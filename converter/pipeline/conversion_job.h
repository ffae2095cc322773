#pragma once
// One conversion from start to end: everything that can fail is checked and set up before
// the output is touched (prepare), then the pipeline's threads run while this thread
// prints the status line and watches for stop requests (run).
#include <functional>
#include <memory>
#include <string>

#include "converter/cli/converter_options.h"

namespace kalo::converter {

enum class JobResult { Completed, Stopped, Failed };

struct JobOutcome {
    JobResult result = JobResult::Failed;
    std::string message;  // one line: why it failed, or what a stop left behind
};

class ConversionJob {
public:
    // `stopRequests` tells how many stop requests arrived so far; it is asked from FFmpeg's
    // interrupt callbacks too, on any thread.
    ConversionJob(const ConverterOptions& options, std::function<int()> stopRequests);
    ~ConversionJob();

    // Opens the input, builds the filters, the depth stage and the encoder, and creates the
    // temporary output file. Returns false with a one-line `error`; the output path is then
    // untouched. A stop request ends a blocking open or read of the input here too; the
    // caller tells that case by the request count.
    bool prepare(std::string& error);

    // Runs the pipeline to its end.
    JobOutcome run();

private:
    struct Parts;
    const ConverterOptions& options_;
    std::function<int()> stopRequests_;
    std::unique_ptr<Parts> parts_;
};

}  // namespace kalo::converter
