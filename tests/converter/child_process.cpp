#include "child_process.h"

#include <fcntl.h>
#include <grp.h>
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

uid_t unprivilegedUserId() { return geteuid() == 0 ? 65534 : geteuid(); }

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                           User user) {
    const int n = counter++;
    outPath_ = folder / ("process-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".out");
    errPath_ = folder / ("process-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".err");
    if (user == User::Unprivileged && geteuid() == 0) {
        startAsNobody(arguments);
        return;
    }
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

// posix_spawn cannot change the user: fork, drop root, exec. The output files are opened
// here, as the child may not create files in the test's folder.
void ChildProcess::startAsNobody(const std::vector<std::string>& arguments) {
    const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const uid_t nobody = unprivilegedUserId();
    pid_ = fork();
    if (pid_ == 0) {
        const int in = open("/dev/null", O_RDONLY);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
            setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (out >= 0) close(out);
    if (err >= 0) close(err);
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
