#include "stand_in_dialog.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace kalo::e2e {
namespace fs = std::filesystem;

namespace {

// Call n writes its arguments to call-n.tmp and renames it to call-n when complete, so that
// the test never reads half a record. Its answer is the file answer-n: "cancel" or a path.
const char* const programText = R"(#!/bin/sh
# File choosers (--file-selection) and message boxes (everything else: SDL shows boxes
# without a parent window through zenity when it is on PATH) keep separate queues.
dir=$(dirname "$0")/..
kind=box
for argument in "$@"; do [ "$argument" = --file-selection ] && kind=call; done
n=1
while [ -e "$dir/$kind-$n" ]; do n=$((n + 1)); done
for argument in "$@"; do printf '%s\0' "$argument"; done > "$dir/$kind-$n.tmp"
if [ ! -e "$dir/$kind-answer-$n" ]; then
    echo unanswered > "$dir/$kind-unanswered-$n"
    mv "$dir/$kind-$n.tmp" "$dir/$kind-$n"
    exit 1
fi
mv "$dir/$kind-$n.tmp" "$dir/$kind-$n"
answer=$(cat "$dir/$kind-answer-$n")
[ "$answer" = cancel ] && exit 1
printf '%s\n' "$answer"
exit 0
)";

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

StandInDialog::StandInDialog(const fs::path& folder) : folder_(folder) {
    fs::create_directories(folder_ / "bin");
    const fs::path program = programFolder() / "zenity";
    std::ofstream(program, std::ios::binary) << programText;
    if (chmod(program.c_str(), 0755) != 0) throw std::runtime_error("cannot make the stand-in dialog executable");
}

fs::path StandInDialog::programFolder() const { return folder_ / "bin"; }

void StandInDialog::queueChoice(const fs::path& path) {
    std::ofstream(folder_ / ("call-answer-" + std::to_string(++queued_)), std::ios::binary) << path.u8string();
}

void StandInDialog::queueCancel() {
    std::ofstream(folder_ / ("call-answer-" + std::to_string(++queued_)), std::ios::binary) << "cancel";
}

void StandInDialog::queueBoxButton(const std::string& label) {
    std::ofstream(folder_ / ("box-answer-" + std::to_string(++boxesQueued_)), std::ios::binary) << label;
}

void StandInDialog::queueBoxClose() {
    std::ofstream(folder_ / ("box-answer-" + std::to_string(++boxesQueued_)), std::ios::binary) << "cancel";
}

std::string StandInDialog::Call::valueAfter(const std::string& name) const {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == name) return arguments[i + 1];
    }
    return {};
}

bool StandInDialog::Call::hasArgument(const std::string& argument) const {
    return std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
}

std::string StandInDialog::Call::option(const std::string& name) const {
    const std::string prefix = name + "=";
    for (const std::string& argument : arguments) {
        if (argument.compare(0, prefix.size(), prefix) == 0) return argument.substr(prefix.size());
    }
    return {};
}

std::size_t StandInDialog::countOf(const std::string& kind) const {
    std::size_t count = 0;
    while (fs::exists(folder_ / (kind + "-" + std::to_string(count + 1)))) ++count;
    return count;
}

std::vector<StandInDialog::Call> StandInDialog::callsOf(const std::string& kind) const {
    std::vector<Call> result;
    const std::size_t count = countOf(kind);
    for (std::size_t n = 1; n <= count; ++n) {
        Call call;
        // One argument per NUL-ended record: box texts span lines.
        std::istringstream records(readText(folder_ / (kind + "-" + std::to_string(n))));
        for (std::string argument; std::getline(records, argument, '\0');) call.arguments.push_back(argument);
        call.answered = !fs::exists(folder_ / (kind + "-unanswered-" + std::to_string(n)));
        result.push_back(std::move(call));
    }
    return result;
}

std::size_t StandInDialog::callCount() const { return countOf("call"); }
std::vector<StandInDialog::Call> StandInDialog::calls() const { return callsOf("call"); }
std::size_t StandInDialog::boxCount() const { return countOf("box"); }
std::vector<StandInDialog::Call> StandInDialog::boxes() const { return callsOf("box"); }

bool StandInDialog::waitForCalls(std::size_t count, double seconds) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (callCount() < count) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace kalo::e2e

namespace kalo::e2e {

bool StandInDialog::waitForBoxes(std::size_t count, double seconds) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (boxCount() < count) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace kalo::e2e
