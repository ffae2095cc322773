#include "screen_button_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/text_encoding.h"

namespace screentest {

std::wstring wide(const fs::path& path) { return kalo::utf8ToWide(kalo::pathToUtf8(path)); }
fs::path pathOf(const std::wstring& text) { return kalo::pathFromUtf8(kalo::wideToUtf8(text)); }

fs::path testFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder = fs::path(KALO_TEST_BIN_DIR) / "screen_buttons" /
                            (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& [name, value] : saved) {
        if (value) setenv(name.c_str(), value->c_str(), 1);
        else unsetenv(name.c_str());
    }
}

void ScopedEnvironment::remember(const std::string& name) {
    if (saved.count(name)) return;
    const char* value = std::getenv(name.c_str());
    saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
}

void ScopedEnvironment::set(const std::string& name, const std::string& value) {
    remember(name);
    setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnvironment::unset(const std::string& name) {
    remember(name);
    unsetenv(name.c_str());
}

ScriptedDialogs::ScriptedDialogs(std::deque<kalo::platform::FileDialogResult> answers_)
    : answers(std::move(answers_)) {
    kalo::platform::setFileDialogHandler([this](const kalo::platform::FileDialogRequest& r) {
        requests.push_back(r);
        if (answers.empty()) return kalo::platform::FileDialogResult{};
        auto next = answers.front();
        answers.pop_front();
        return next;
    });
}

ScriptedDialogs::~ScriptedDialogs() { kalo::platform::setFileDialogHandler(nullptr); }

kalo::platform::FileDialogResult chosen(const std::wstring& path) {
    kalo::platform::FileDialogResult result;
    result.status = kalo::platform::FileDialogStatus::Chosen;
    result.path = path;
    return result;
}

namespace {

// Records "$0" and every argument NUL-terminated, then answers from the answer file:
// line 1 the exit code, line 2 the count of noise bytes, line 3 "1" for a line end, and
// the rest the answer itself.
const char* const standInScript = R"(#!/bin/sh
printf '%s\0' "${0##*/}" "$@" >> "$STANDIN_RECORD"
printf '\n' >> "$STANDIN_RECORD"
{
  read -r code
  read -r noise
  read -r newline
  answer=$(/bin/cat; printf x)
  answer=${answer%x}
} < "$STANDIN_ANSWER"
if [ "$noise" -gt 0 ]; then /usr/bin/head -c "$noise" /dev/zero | /usr/bin/tr '\0' 'w' >&2; fi
if [ "$newline" = 1 ]; then printf '%s\n' "$answer"; else printf '%s' "$answer"; fi
exit "$code"
)";

}  // namespace

StandInDialogs::StandInDialogs(const fs::path& folder, bool zenity, bool kdialog) {
    bin = folder / "bin";
    home = folder / "home";
    videos = home / "视频 Videos";
    record = folder / "dialog-runs";
    answerFile = folder / "dialog-answer";
    fs::create_directories(bin);
    fs::create_directories(videos);
    fs::create_directories(home / ".config");
    std::ofstream(home / ".config" / "user-dirs.dirs")
        << "# written by the test\nXDG_VIDEOS_DIR=\"$HOME/视频 Videos\"\n";
    for (const auto& [name, wanted] : {std::pair{"zenity", zenity}, std::pair{"kdialog", kdialog}}) {
        if (!wanted) continue;
        const fs::path program = bin / name;
        std::ofstream(program) << standInScript;
        fs::permissions(program, fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    }
    answer("", 1);
    // Only the stand-ins: a dialog program installed on this machine must never answer.
    environment.set("PATH", bin.string());
    environment.set("HOME", home.string());
    environment.unset("XDG_CONFIG_HOME");
    environment.set("STANDIN_RECORD", record.string());
    environment.set("STANDIN_ANSWER", answerFile.string());
    kalo::platform::forgetFileDialogFolder();
}

void StandInDialogs::answer(const std::string& text, int exitCode, size_t errorBytes) {
    std::ofstream(answerFile, std::ios::binary)
        << exitCode << "\n" << errorBytes << "\n1\n" << text;
}

std::vector<std::vector<std::string>> StandInDialogs::runs() const {
    std::ifstream in(record, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    std::vector<std::vector<std::string>> result;
    std::vector<std::string> current;
    std::string piece;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') {
            current.push_back(piece);
            piece.clear();
        } else if (c == '\n' && piece.empty()) {
            result.push_back(current);  // the line end after a run's last NUL
            current.clear();
        } else {
            piece.push_back(c);
        }
    }
    return result;
}

}  // namespace screentest
