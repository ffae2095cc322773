#pragma once
// What the screen-button tests share: answers for the file dialogs (scripted, or stand-in
// dialog programs on PATH for the real dialog layer), a folder per test, and the
// environment the tests change and give back.
#include <SDL.h>

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

namespace screentest {

namespace fs = std::filesystem;

// Paths as the record holds them, from UTF-8, whatever the process locale.
std::wstring wide(const fs::path& path);
fs::path pathOf(const std::wstring& text);

// An empty folder of its own for the running test, under the test binaries' folder.
fs::path testFolder();

// Sets environment variables for the life of the object, then puts the old values back.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    void set(const std::string& name, const std::string& value);
    void unset(const std::string& name);

private:
    void remember(const std::string& name);
    std::map<std::string, std::optional<std::string>> saved;
};

// Answers every dialog from a queue (an empty queue answers "cancelled") and keeps the
// requests.
class ScriptedDialogs {
public:
    explicit ScriptedDialogs(std::deque<kalo::platform::FileDialogResult> answers = {});
    ~ScriptedDialogs();
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
    std::vector<kalo::platform::FileDialogRequest> requests;
    std::deque<kalo::platform::FileDialogResult> answers;
};

kalo::platform::FileDialogResult chosen(const std::wstring& path);

// Stand-in "zenity" and "kdialog" programs in a folder that becomes the whole PATH. Each
// records its name and arguments, prints the answer given to it (one line) and ends with
// the exit code given to it. HOME and XDG_CONFIG_HOME point into the folder, where a
// Videos folder and the user-dirs file naming it exist; the dialog layer's memory of the
// last folder is cleared.
class StandInDialogs {
public:
    explicit StandInDialogs(const fs::path& folder, bool zenity = true, bool kdialog = true);

    // The next run prints `answer` and a line end (nothing with `newline` false) and exits
    // with `exitCode`; `errorBytes` bytes of noise go to its standard error first.
    void answer(const std::string& answer, int exitCode = 0, size_t errorBytes = 0);
    // Program name, then the arguments, of every run so far.
    std::vector<std::vector<std::string>> runs() const;

    fs::path home;
    fs::path videos;

private:
    fs::path bin;
    fs::path record;
    fs::path answerFile;
    ScopedEnvironment environment;
};

}  // namespace screentest
