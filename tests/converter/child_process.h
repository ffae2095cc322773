#pragma once
// Runs a program with an argument list (no shell), standard output and error going to
// files, for the tests that drive kalo-depth, ffmpeg and ffprobe as a user would.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace kalo::test {

struct ProcessResult {
    bool exited = false;  // ended by itself (not by a signal, not timed out)
    int exitCode = -1;
    int signal = 0;       // the signal that ended it, 0 if none
    bool timedOut = false;
    std::string out;      // standard output
    std::string err;      // standard error
};

class ChildProcess {
public:
    enum class User {
        Same,          // the test's own user
        Unprivileged,  // "nobody" when the test runs as root (file permissions then apply)
    };

    // Starts `arguments` (the first is the program). Output is collected in `folder`.
    ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                 User user = User::Same);
    ~ChildProcess();

    bool started() const { return pid_ > 0; }
    void sendSignal(int signal) const;

    // Standard error written so far.
    std::string errorSoFar() const;

    // Waits for the end (killing the process after `timeout`).
    ProcessResult wait(std::chrono::milliseconds timeout);

private:
    void startAsNobody(const std::vector<std::string>& arguments);

    pid_t pid_ = -1;
    std::filesystem::path outPath_;
    std::filesystem::path errPath_;
    bool reaped_ = false;
};

// The user id ChildProcess::User::Unprivileged runs as.
uid_t unprivilegedUserId();

// Runs to the end and returns what it printed.
ProcessResult runProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                         std::chrono::milliseconds timeout = std::chrono::seconds(120));

std::string readFile(const std::filesystem::path& path);

}  // namespace kalo::test
