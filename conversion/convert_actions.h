#pragma once
// What the convert/stop control does on the main thread: the two convert actions, the
// start of a job, the confirmed cancel, and the report of a job's end. Message boxes go
// through the platform seam, so tests answer them.
//
// The converter screen drives a job with these and the progress monitor:
//   convert press:  convertButton or convertAskButton, then startConversionJob;
//   event 10:       converting = true; apply ProgressMonitor::beginJob() to the bar;
//   each frame:     while converting and progressPollDue: apply ProgressMonitor::poll,
//                   clear the flag;
//   stop press:     if confirmAndCancelConversion(): converting = false;
//   event 11:       converting = false; apply ProgressMonitor::endJob(
//                   conversionFinished(event).outcome) to the bar;
//   accepted quit:  breakRunningConverter() (it signals only a converter still running).
#include <SDL.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "conversion/conversion_job.h"
#include "conversion/windows_manager.h"

// Convert to the chosen output: command 1 when input and output are set; otherwise the
// "no file" warning and command 2.
void convertButton(const std::shared_ptr<WindowsManager>& record);

// Asks for the output file, then converts. `chooseOutput` runs the save chooser and returns
// the chosen path, or an empty string when it was cancelled. Without an input: the "no
// file" warning and the command stays as it was.
void convertAskButton(const std::shared_ptr<WindowsManager>& record,
                      const std::function<std::wstring()>& chooseOutput);

enum class JobStart {
    Started,
    NotRequested,      // the command is not "convert", or no output is set
    SameFile,          // output and input name the same file: refused
    PreviousStopping,  // the previous converter is still stopping: refused
    ConverterMissing,  // no converter program at the path tried: refused
    ThreadFailed,
};

// The rest of a press on the convert button, after its action has run: when the record
// asks for a conversion, checks it and starts the worker with a snapshot of the record.
// Every refusal is told to the user in an error box.
JobStart startConversionJob(const std::shared_ptr<WindowsManager>& record);

// How long a new job waits for a previous converter that was told to stop.
extern const std::chrono::milliseconds previousJobGrace;

// Asks "你确定取消渲染吗?" and, when confirmed, sends the break to the running converter.
// Returns true when confirmed: the caller then clears its converting flag at once.
bool confirmAndCancelConversion();

// On an EVT_CONVERSION_FINISHED event: the job's report, whose outcome is the event's;
// a failure or a converter that did not start is told to the user in an error box.
JobReport conversionFinished(const SDL_Event& event);
