#include "child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

extern char** environ;

namespace kalo::test {
namespace {

std::atomic<int> counter{0};

// The test's environment with the setup's changes: removals first, then settings.
std::vector<std::string> childEnvironment(const ProcessSetup& setup) {
    std::map<std::string, std::string> variables;
    std::vector<std::string> order;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text = *entry;
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = text.substr(0, equals);
        if (!variables.count(name)) order.push_back(name);
        variables[name] = text.substr(equals + 1);
    }
    for (const std::string& name : setup.unset) variables.erase(name);
    for (const auto& [name, value] : setup.environment) {
        if (!variables.count(name)) order.push_back(name);
        variables[name] = value;
    }
    std::vector<std::string> result;
    for (const std::string& name : order) {
        const auto found = variables.find(name);
        if (found != variables.end()) result.push_back(name + "=" + found->second);
        if (found != variables.end()) variables.erase(found);
    }
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

std::string ProcessResult::describe() const {
    if (timedOut) return "timed out";
    if (exited) return "exit code " + std::to_string(exitCode);
    if (signal != 0) return "signal " + std::to_string(signal);
    return "not started";
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

uid_t unprivilegedUserId() { return geteuid() == 0 ? 65534 : geteuid(); }

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                           ProcessUser user)
    : ChildProcess(arguments, ProcessSetup{folder, {}, {}, {}, {}, user}) {}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const ProcessSetup& setup) {
    if (arguments.empty()) {
        startError_ = "no program given";
        return;
    }
    if (!setup.outputFile.empty()) {
        outPath_ = setup.outputFile;
        errPath_ = setup.outputFile;
        ownFiles_ = false;
    } else {
        const std::string stem = "process-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        outPath_ = setup.folder / (stem + ".out");
        errPath_ = setup.folder / (stem + ".err");
    }
    if (setup.user == ProcessUser::Unprivileged && geteuid() == 0) {
        startAsNobody(arguments);
        return;
    }
    spawn(arguments, setup);
}

void ChildProcess::spawn(const std::vector<std::string>& arguments, const ProcessSetup& setup) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!setup.workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, setup.workingDirectory.c_str());
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (errPath_ == outPath_) {
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    // The child starts with every signal at its default, whatever the test blocked or ignored.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> argumentTexts = arguments;
    std::vector<std::string> environmentTexts = childEnvironment(setup);
    std::vector<char*> argv = pointersTo(argumentTexts);
    std::vector<char*> envp = pointersTo(environmentTexts);
    const int error = posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        pid_ = -1;
        startError_ = "cannot start " + arguments.front() + ": " + std::strerror(error);
    }
}

// posix_spawn cannot change the user: fork, drop root, exec. The output files are opened
// here, as the child may not create files in the test's folder.
void ChildProcess::startAsNobody(const std::vector<std::string>& arguments) {
    const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<std::string> argumentTexts = arguments;
    std::vector<char*> argv = pointersTo(argumentTexts);
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
    if (pid_ < 0) startError_ = "cannot fork for " + arguments.front();
    if (out >= 0) close(out);
    if (err >= 0) close(err);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !result_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (ownFiles_) {
        std::error_code ec;
        std::filesystem::remove(outPath_, ec);
        std::filesystem::remove(errPath_, ec);
    }
}

void ChildProcess::sendSignal(int signal) const {
    if (pid_ > 0 && !result_) kill(pid_, signal);
}

std::string ChildProcess::outputSoFar() const { return readFile(outPath_); }

std::string ChildProcess::errorSoFar() const { return readFile(errPath_); }

ProcessResult ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (result_) return *result_;
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
    if (!result.timedOut && WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.out = readFile(outPath_);
    if (errPath_ != outPath_) result.err = readFile(errPath_);
    result_ = result;
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                         std::chrono::milliseconds timeout) {
    ChildProcess child(arguments, folder);
    if (!child.started()) {
        ProcessResult result;
        result.err = child.startError();
        return result;
    }
    return child.wait(timeout);
}

}  // namespace kalo::test
