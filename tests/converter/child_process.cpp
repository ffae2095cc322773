#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace kalo::test {
namespace {

std::atomic<int> counter{0};

}  // namespace

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder) {
    const int n = counter++;
    outPath_ = folder / ("process-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".out");
    errPath_ = folder / ("process-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    std::filesystem::remove(outPath_, ec);
    std::filesystem::remove(errPath_, ec);
}

void ChildProcess::sendSignal(int signal) const {
    if (pid_ > 0 && !reaped_) kill(pid_, signal);
}

std::string ChildProcess::errorSoFar() const { return readFile(errPath_); }

ProcessResult ChildProcess::wait(std::chrono::milliseconds timeout) {
    ProcessResult result;
    if (pid_ <= 0) return result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reaped_ = true;
    if (!result.timedOut && WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.out = readFile(outPath_);
    result.err = readFile(errPath_);
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                         std::chrono::milliseconds timeout) {
    ChildProcess child(arguments, folder);
    if (!child.started()) return {};
    return child.wait(timeout);
}

}  // namespace kalo::test
