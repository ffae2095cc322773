#pragma once
// A stand-in for the desktop's dialog program (zenity), put first on PATH of the
// application under test. It serves the file choosers and the message boxes: SDL shows a box
// without a parent window through zenity whenever zenity is on PATH (zenity --question
// --switch --title T --text X --extra-button LABEL ...), so on such a desktop the boxes are
// zenity's too. Each call records its argument list and answers from a queue the test
// filled beforehand, the way a person would: a path, or a button's label, on standard output,
// or a cancel / closed box (exit code 1). File choosers and boxes have separate queues. A
// call with nothing queued is recorded as unanswered and cancelled, so a dialog the test did
// not expect never hangs the application.
#include <filesystem>
#include <string>
#include <vector>

namespace kalo::e2e {

class StandInDialog {
public:
    // Writes the program into `folder`/bin and keeps its records in `folder`.
    explicit StandInDialog(const std::filesystem::path& folder);

    // The folder to put first on PATH.
    std::filesystem::path programFolder() const;

    // Answers, in the order of the calls to come.
    void queueChoice(const std::filesystem::path& path);
    void queueCancel();
    // Box answers, in the order of the boxes to come: the button labelled `label` is pressed,
    // or the box is closed without a button.
    void queueBoxButton(const std::string& label);
    void queueBoxClose();

    struct Call {
        std::vector<std::string> arguments;
        bool answered = false;  // false: nothing was queued for this call
        bool hasArgument(const std::string& argument) const;
        // The value of "--name=value", empty when absent.
        std::string option(const std::string& name) const;
        // The argument after `name` ("--title" X), empty when absent.
        std::string valueAfter(const std::string& name) const;
    };
    std::vector<Call> calls() const;  // file choosers
    std::size_t callCount() const;
    std::vector<Call> boxes() const;  // message boxes
    std::size_t boxCount() const;
    // Polls until at least `count` calls were made; false when `seconds` passed first.
    bool waitForCalls(std::size_t count, double seconds) const;
    bool waitForBoxes(std::size_t count, double seconds) const;

private:
    std::size_t countOf(const std::string& kind) const;
    std::vector<Call> callsOf(const std::string& kind) const;
    std::filesystem::path folder_;
    std::size_t queued_ = 0;
    std::size_t boxesQueued_ = 0;
};

}  // namespace kalo::e2e
