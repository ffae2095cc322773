#pragma once
// Runs a program as the tests' child: an argument list (never through a shell), standard
// output and error captured in files, a bounded wait that kills what outlives it, and a
// kill of whatever still runs when the object goes away.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalo::test {

struct ProcessResult {
    bool exited = false;  // ended by itself (not by a signal, not timed out)
    int exitCode = -1;
    int signal = 0;       // the signal that ended it, 0 if none
    bool timedOut = false;
    std::string out;      // standard output (standard output and error with `outputFile`)
    std::string err;      // standard error

    bool succeeded() const { return exited && exitCode == 0; }
    // "exit code 3", "signal 9", "timed out" or "not started", for failure messages.
    std::string describe() const;
};

enum class ProcessUser {
    Same,          // the test's own user
    Unprivileged,  // "nobody" when the test runs as root (file permissions then apply)
};

struct ProcessSetup {
    // Where the captured output files go (they are removed with the object).
    std::filesystem::path folder;
    // Set: standard output and error both go to this file, which is kept.
    std::filesystem::path outputFile;
    // Empty: the test's own working directory.
    std::filesystem::path workingDirectory;
    // Variables removed from the child's environment, then variables set in it.
    std::vector<std::string> unset;
    std::vector<std::pair<std::string, std::string>> environment;
    ProcessUser user = ProcessUser::Same;
};

class ChildProcess {
public:
    using User = ProcessUser;

    // Starts `arguments` (the first is the program, looked up on PATH when it has no
    // slash). Standard input is /dev/null.
    ChildProcess(const std::vector<std::string>& arguments, const ProcessSetup& setup);
    ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                 ProcessUser user = ProcessUser::Same);
    // A process still running is killed and collected.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t id() const { return pid_; }
    // Why it did not start (empty when it did).
    const std::string& startError() const { return startError_; }

    // Signals the process unless it has already been collected.
    void sendSignal(int signal) const;

    // Standard output and error written so far.
    std::string outputSoFar() const;
    std::string errorSoFar() const;

    // Waits for the end, killing the process after `timeout`. Once collected, every later
    // call returns the same result.
    ProcessResult wait(std::chrono::milliseconds timeout);

private:
    void spawn(const std::vector<std::string>& arguments, const ProcessSetup& setup);
    void startAsNobody(const std::vector<std::string>& arguments);

    pid_t pid_ = -1;
    std::string startError_;
    std::filesystem::path outPath_;
    std::filesystem::path errPath_;
    bool ownFiles_ = true;
    std::optional<ProcessResult> result_;
};

// The user id ProcessUser::Unprivileged runs as.
uid_t unprivilegedUserId();

// Runs to the end (killed after `timeout`) and returns what it printed.
ProcessResult runProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                         std::chrono::milliseconds timeout = std::chrono::seconds(120));

std::string readFile(const std::filesystem::path& path);

}  // namespace kalo::test
