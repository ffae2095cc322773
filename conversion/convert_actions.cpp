#include "conversion/convert_actions.h"

#include <cstdio>

#include "config/json_base.h"
#include "conversion/converter_location.h"
#include "platform/file_identity.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/text_encoding.h"

using kalo::platform::MessageBoxKind;

const std::chrono::milliseconds previousJobGrace{3000};

namespace {

// A text of "PARAM_OTHER"; `fallback` when an override document lacks the key.
std::string textOr(const char* key, const char* fallback) {
    std::string text = otherText(key);
    return text.empty() ? std::string(fallback) : text;
}

void warnNoFile() {
    kalo::platform::showSimpleMessageBox(MessageBoxKind::Warning, otherText("MAIN_MESSAGE"),
                                         otherText("MAIN_NOFILE"));
}

void tellError(const std::string& title, const std::string& text) {
    std::printf("%s\n", text.c_str());
    kalo::platform::showSimpleMessageBox(MessageBoxKind::Error, title, text);
}

std::filesystem::path widePath(const std::wstring& text) {
    return kalo::pathFromUtf8(kalo::wideToUtf8(text));
}

}  // namespace

void convertButton(const std::shared_ptr<WindowsManager>& record) {
    if (!record->input.empty() && !record->output.empty()) {
        record->command = COMMAND_CONVERT;
        return;
    }
    warnNoFile();
    record->command = COMMAND_NOTHING;
}

void convertAskButton(const std::shared_ptr<WindowsManager>& record,
                      const std::function<std::wstring()>& chooseOutput) {
    if (record->input.empty()) {
        warnNoFile();
        return;
    }
    const std::wstring chosen = chooseOutput ? chooseOutput() : std::wstring();
    if (chosen.empty()) {
        record->command = COMMAND_NOTHING;
        return;
    }
    record->command = COMMAND_CONVERT;
    JobSnapshot snapshot = record->snapshot();
    snapshot.output = chosen;
    record->update(snapshot);
}

JobStart startConversionJob(const std::shared_ptr<WindowsManager>& record) {
    // The worker gets this copy: later changes of the record never reach the running job.
    const JobSnapshot job = record->snapshot();
    if (record->command != COMMAND_CONVERT || job.output.empty()) return JobStart::NotRequested;

    if (kalo::platform::namesSameFile(widePath(job.input), widePath(job.output))) {
        tellError(otherText("KALO_OPENFILE_NOTE"), otherText("KALO_OPENFILE_FAIL"));
        return JobStart::SameFile;
    }
    // A converter told to stop may still be finishing its file; two converters must never
    // write at once (they may share the output).
    if (conversionWorkerRunning() && !waitForConversionWorker(previousJobGrace)) {
        tellError(otherText("KALO_ERROR"),
               textOr("KALO_CONVERTER_BUSY", "上一个转换仍在停止中，请稍后再试。"));
        return JobStart::PreviousStopping;
    }
    const ConverterLocation converter = findConverter();
    if (!kalo::platform::isLaunchableProgram(converter.path)) {
        tellError(otherText("KALO_ERROR"),
               textOr("KALO_CONVERTER_MISSING", "找不到转换程序: ") +
                   kalo::pathToUtf8(converter.path) + " (" + converter.origin + ")");
        return JobStart::ConverterMissing;
    }
    JobLaunch launch;
    launch.snapshot = job;
    launch.converter = converter.path;
    launch.programDirectory = applicationDirectory();
    if (!startConversionWorker(std::move(launch))) {
        tellError(otherText("KALO_ERROR"), textOr("KALO_CONVERTER_NOT_STARTED", "无法启动转换程序: ") +
                                            kalo::pathToUtf8(converter.path));
        return JobStart::ThreadFailed;
    }
    return JobStart::Started;
}

bool confirmAndCancelConversion() {
    kalo::platform::MessageBoxRequest request;
    request.kind = MessageBoxKind::Information;
    request.title = otherText("KALO_TITLE");
    request.text = otherText("KALO_MESSAGE");
    kalo::platform::MessageBoxButton keepGoing;
    keepGoing.id = 0;
    keepGoing.text = otherText("KALO_CANCEL");
    keepGoing.escapeKeyDefault = true;
    kalo::platform::MessageBoxButton stop;
    stop.id = 1;
    stop.text = otherText("KALO_SURE");
    stop.returnKeyDefault = true;
    request.buttons = {keepGoing, stop};
    if (kalo::platform::showMessageBox(request) != 1) return false;
    breakRunningConverter();
    return true;
}

JobReport conversionFinished(const SDL_Event& event) {
    JobReport report = lastJobReport();
    report.outcome = jobOutcomeOf(event);
    if (report.outcome == JobOutcome::Failed) {
        tellError(otherText("KALO_ERROR"),
               textOr("KALO_CONVERTER_FAILED", "转换失败: ") + report.detail);
    } else if (report.outcome == JobOutcome::NotStarted) {
        tellError(otherText("KALO_ERROR"), textOr("KALO_CONVERTER_NOT_STARTED", "无法启动转换程序: ") +
                                            kalo::pathToUtf8(report.converter) + "\n" +
                                            report.detail);
    }
    return report;
}
