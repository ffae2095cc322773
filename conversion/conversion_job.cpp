#include "conversion/conversion_job.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "conversion/converter_command_line.h"
#include "conversion/converter_error_line.h"
#include "platform/console_screen.h"
#include "platform/text_encoding.h"
#include "scene/user_events.h"

std::atomic<std::int64_t> converterProcessId{0};

namespace {

struct JobState {
    std::mutex mutex;  // guards every member
    std::condition_variable workerEnded;
    bool workerRunning = false;
    SDL_Thread* worker = nullptr;  // the last worker; joined once it has finished
    std::shared_ptr<kalo::platform::ChildProcess> process;
    bool stopRequested = false;
    JobReport lastReport;
};

// Never destroyed: a worker may still be waiting for its converter while the process exits.
JobState& jobState() {
    static JobState* state = new JobState();
    return *state;
}

constexpr std::size_t errorRowsExamined = 64;

int workerMain(void* data) {
    std::unique_ptr<JobLaunch> launch(static_cast<JobLaunch*>(data));
    pushUserEvent(EVT_CONVERSION_STARTED);
    JobReport report = runConversion(*launch);
    const JobOutcome outcome = report.outcome;
    JobState& state = jobState();
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.lastReport = std::move(report);
    }
    pushUserEvent(EVT_CONVERSION_FINISHED, static_cast<Sint32>(outcome));
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.workerRunning = false;
    }
    state.workerEnded.notify_all();
    return 0;
}

}  // namespace

std::shared_ptr<kalo::platform::ChildProcess> converterProcess() {
    JobState& state = jobState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.process;
}

JobReport runConversion(const JobLaunch& launch) {
    JobReport report;
    report.converter = launch.converter;
    JobState& state = jobState();

    kalo::platform::ProcessLaunch processLaunch;
    processLaunch.program = launch.converter;
    processLaunch.belowNormalPriority = true;
    try {
        const ConverterCommandLine line =
            buildConverterCommandLine(launch.snapshot, launch.programDirectory);
        processLaunch.arguments = line.values();
        processLaunch.windowsCommandLine = line.windowsCommandString();
    } catch (const std::exception& error) {
        report.outcome = JobOutcome::NotStarted;
        report.detail = error.what();
        std::printf("Converter command line failed: %s\n", report.detail.c_str());
        return report;
    }

    std::printf("Converter starting: %s\n", kalo::pathToUtf8(launch.converter).c_str());
    std::fflush(stdout);
    // What the console shows before the converter writes, so that its own lines can be
    // told from older ones afterwards.
    const std::uint64_t firstRow = kalo::platform::consoleCursorRow();
    const std::vector<std::wstring> before = kalo::platform::consoleRowsFrom(firstRow, 1);

    std::string error;
    std::shared_ptr<kalo::platform::ChildProcess> process =
        kalo::platform::ChildProcess::start(processLaunch, &error);
    if (!process) {
        report.outcome = JobOutcome::NotStarted;
        report.detail = error;
        std::printf("Converter did not start: %s: %s\n",
                    kalo::pathToUtf8(launch.converter).c_str(), error.c_str());
        return report;
    }
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.process = process;
    }
    converterProcessId = process->id();

    const kalo::platform::ProcessEnd end = process->wait();
    kalo::platform::settleConsole(std::chrono::milliseconds(500));

    bool stopped;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        stopped = state.stopRequested;
    }
    if (stopped) {
        report.outcome = JobOutcome::Stopped;
        report.detail = end.describe();
    } else if (end.succeeded()) {
        report.outcome = JobOutcome::Completed;
    } else {
        report.outcome = JobOutcome::Failed;
        std::vector<std::wstring> rows =
            kalo::platform::consoleRowsFrom(firstRow, errorRowsExamined);
        if (!rows.empty() && !before.empty() && rows.front() == before.front()) {
            rows.erase(rows.begin());
        }
        const std::string line = converterErrorLine(rows);
        report.detail = line.empty() ? end.describe() : line + " (" + end.describe() + ")";
    }
    std::printf("Converter (process %lld) ended: %s\n", static_cast<long long>(process->id()),
                end.describe().c_str());
    std::fflush(stdout);
    return report;
}

bool startConversionWorker(JobLaunch launch) {
    JobState& state = jobState();
    SDL_Thread* finished = nullptr;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.workerRunning) return false;
        finished = state.worker;
        state.worker = nullptr;
    }
    // The previous worker has pushed its last event and is returning: collect its thread.
    if (finished) SDL_WaitThread(finished, nullptr);

    std::lock_guard<std::mutex> lock(state.mutex);
    state.workerRunning = true;
    state.stopRequested = false;
    auto* data = new JobLaunch(std::move(launch));
    state.worker = SDL_CreateThread(workerMain, "runFFmpegConv", data);
    if (!state.worker) {
        std::printf("Conversion thread failed: %s\n", SDL_GetError());
        delete data;
        state.workerRunning = false;
        return false;
    }
    return true;
}

bool breakRunningConverter() {
    JobState& state = jobState();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.process || !state.process->running()) return false;
    state.stopRequested = true;
    return state.process->interrupt();
}

bool conversionWorkerRunning() {
    JobState& state = jobState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.workerRunning;
}

bool waitForConversionWorker(std::chrono::milliseconds limit) {
    JobState& state = jobState();
    std::unique_lock<std::mutex> lock(state.mutex);
    if (!state.workerEnded.wait_for(lock, limit, [&] { return !state.workerRunning; })) {
        return false;
    }
    // The worker has pushed its last event and is returning: collect its thread.
    SDL_Thread* finished = state.worker;
    state.worker = nullptr;
    lock.unlock();
    if (finished) SDL_WaitThread(finished, nullptr);
    return true;
}

JobReport lastJobReport() {
    JobState& state = jobState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.lastReport;
}

JobOutcome jobOutcomeOf(const SDL_Event& event) {
    switch (userEventValue(event)) {
        case static_cast<Sint32>(JobOutcome::Completed): return JobOutcome::Completed;
        case static_cast<Sint32>(JobOutcome::Failed): return JobOutcome::Failed;
        case static_cast<Sint32>(JobOutcome::Stopped): return JobOutcome::Stopped;
        default: break;
    }
    return JobOutcome::NotStarted;
}
