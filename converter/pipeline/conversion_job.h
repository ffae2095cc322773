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
    explicit ConversionJob(const ConverterOptions& options);
    ~ConversionJob();

    // Opens the input, builds the filters, the depth stage and the encoder, and creates the
    // temporary output file. Returns false with a one-line `error`; the output path is then
    // untouched.
    bool prepare(std::string& error);

    // Runs the pipeline to its end. `stopRequests` tells how many stop requests arrived.
    JobOutcome run(const std::function<int()>& stopRequests);

private:
    struct Parts;
    const ConverterOptions& options_;
    std::unique_ptr<Parts> parts_;
};

}  // namespace kalo::converter
