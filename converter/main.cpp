// kalo-depth: FFmpeg's command-line syntax with a `depth` filter that turns 2D video into
// side-by-side stereoscopic 3D.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "converter/cli/argument_parser.h"
#include "converter/cli/help_text.h"
#include "converter/console/console_log.h"
#include "converter/exit_codes.h"
#include "converter/pipeline/conversion_job.h"
#include "converter/platform/console_output.h"
#include "converter/platform/program_arguments.h"
#include "converter/platform/stop_requests.h"

using namespace kalo::converter;

namespace {

int convert(const ConverterOptions& options) {
    std::string failure;
    bool stoppedEarly = false;
    {
        ConversionJob job(options, stopRequestCount);
        JobOutcome outcome;
        if (!job.prepare(outcome.message)) {
            outcome.result = JobResult::Failed;
            // A stop during set-up (an input that never delivers, say) ends it as a stop;
            // the job goes first, taking its temporary file with it.
            if (stopRequestCount() > 0) stoppedEarly = true;
        } else {
            outcome = job.run();
        }
        switch (outcome.result) {
        case JobResult::Completed:
            return kExitSuccess;
        case JobResult::Stopped:
            consoleLog().message(kLogInfo, outcome.message + " (" + lastStopRequestName() + ")");
            // The file is finished and in place. Tearing the encoder down would wait for
            // its worker threads to finish pictures that will never be written, delaying
            // the exit the user asked for: leave now.
            std::fflush(stderr);
            stopRequestsHandled();
            std::_Exit(kExitStopped);
        case JobResult::Failed:
            failure = outcome.message;
            break;
        }
    }
    if (stoppedEarly) {
        consoleLog().message(kLogInfo, "Stopped before any picture was written; '" + options.outputPath +
                                           "' was left as it was. (" + lastStopRequestName() + ")");
        return kExitStopped;
    }
    // After the job is gone, so that the reason is the last line (the encoder prints its
    // statistics when it closes).
    consoleLog().message(kLogError, failure);
    return kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
    prepareConsoleOutput();
    // Stop requests only count from here on; the job looks at them once it runs, so a
    // request during set-up stops it before the first picture.
    installStopRequestHandlers();
    consoleLog().routeLibraryMessages();
    consoleLog().setLevel(kLogInfo);

    ParsedCommandLine parsed;
    std::string error;
    if (!parseArguments(programArguments(argc, argv), parsed, error)) {
        consoleLog().message(kLogError, error);
        return kExitFailure;
    }
    switch (parsed.action) {
    case CommandAction::ShowHelp:
        std::fputs(helpText().c_str(), stdout);
        return kExitSuccess;
    case CommandAction::ShowVersion:
        std::fputs(versionText().c_str(), stdout);
        return kExitSuccess;
    case CommandAction::Convert:
        break;
    }
    const ConverterOptions& options = parsed.options;
    consoleLog().setLevel(options.logLevel);
    if (!options.hideBanner) consoleLog().message(kLogInfo, bannerText());

    const int status = convert(options);
    stopRequestsHandled();
    return status;
}
