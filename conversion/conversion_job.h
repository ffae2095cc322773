#pragma once
// One conversion job at a time, run on the worker thread "runFFmpegConv": it announces its
// start (user event 10), runs the converter as a child in its own process group attached to
// the application's console, waits for it, and announces the end (user event 11, whose
// data1 carries the JobOutcome).
#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "conversion/windows_manager.h"
#include "platform/process.h"

enum class JobOutcome : Sint32 {
    Completed = 0,   // the converter ended with exit code 0
    Failed = 1,      // it ended otherwise without being stopped by the user
    Stopped = 2,     // the user stopped it
    NotStarted = 3,  // the command line could not be built or the converter not started
};

struct JobReport {
    JobOutcome outcome = JobOutcome::NotStarted;
    std::filesystem::path converter;
    std::string detail;  // UTF-8: the converter's last error line, or why it did not start
};

struct JobLaunch {
    JobSnapshot snapshot;
    std::filesystem::path converter;         // full path of the converter program
    std::filesystem::path programDirectory;  // where the "filter" folder is
};

// The converter started last: its process id (also its process group id), 0 until the
// first start and kept after it ended.
extern std::atomic<std::int64_t> converterProcessId;
std::shared_ptr<kalo::platform::ChildProcess> converterProcess();

// Starts the worker thread for `launch`. False when a worker is still running (its
// converter has not ended yet) or the thread could not be created.
bool startConversionWorker(JobLaunch launch);

// The worker's body without the events: runs the converter to its end and tells a stop by
// the user (breakRunningConverter) from a failure.
JobReport runConversion(const JobLaunch& launch);

// Sends the break to the converter's process group while it runs; records that the user
// stopped the job. Returns true when a running converter was signalled.
bool breakRunningConverter();

bool conversionWorkerRunning();
// Waits at most `limit` for the worker to finish and collects its thread; true when none
// runs any more (the application calls it at shutdown, tests after each job).
bool waitForConversionWorker(std::chrono::milliseconds limit);

// The report of the job that ended last (read on event 11).
JobReport lastJobReport();
// The outcome carried by an EVT_CONVERSION_FINISHED event.
JobOutcome jobOutcomeOf(const SDL_Event& event);
