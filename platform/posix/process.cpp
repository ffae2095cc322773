#include "platform/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/posix/pseudo_terminal_console.h"
#include "platform/text_encoding.h"

extern char** environ;

namespace {
// A nice value this much above ours: the scheduler then gives the window the share it
// needs to draw every frame, and the child everything else.
constexpr int belowNormalNiceStep = 10;
}  // namespace

namespace kalo::platform {

struct ChildProcess::State {
    pid_t pid = 0;
    mutable std::mutex mutex;
    bool collected = false;  // waitpid has released the id: never signal it again
};

ChildProcess::ChildProcess(std::unique_ptr<State> state) : state(std::move(state)) {}
ChildProcess::~ChildProcess() = default;

std::string ProcessEnd::describe() const {
    switch (how) {
        case How::Exited: return "exit code " + std::to_string(code);
        case How::Signalled: return "signal " + std::to_string(code) + " (" + strsignal(code) + ")";
        case How::Unknown: break;
    }
    return "unknown end";
}

std::shared_ptr<ChildProcess> ChildProcess::start(const ProcessLaunch& launch, std::string* error) {
    const std::string program = launch.program.string();
    std::vector<std::string> texts;
    texts.push_back(program);
    for (const std::wstring& argument : launch.arguments) texts.push_back(wideToUtf8(argument));
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group (id = its pid); an empty signal mask (threads of SDL block
    // SIGINT, and the mask is inherited) and default handling of the signals that stop it
    // (an ignored SIGINT would be inherited too).
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int consoleError = 0;
    const int terminal = consoleTerminalFd(&consoleError);
    if (terminal >= 0) {
        for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
            posix_spawn_file_actions_adddup2(&actions, terminal, stream);
        }
    }
    // Without a console terminal the child shares the application's own streams: the job
    // still runs, only its progress cannot be read.

    // Nothing else of ours reaches the child: descriptors opened without close-on-exec (the
    // font files, the open source, pipes of the libraries) would stay open in it for the
    // whole job, and a pipe's write end held there hides the end from its reader.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    pid_t pid = 0;
    const int result = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        if (error) *error = std::strerror(result);
        return nullptr;
    }
    if (launch.belowNormalPriority) {
        // The whole group, so threads the child has already started are covered too; the
        // ones it starts later inherit the value. Failing leaves it at our priority.
        errno = 0;
        const int ours = getpriority(PRIO_PROCESS, 0);
        if (errno == 0) setpriority(PRIO_PGRP, pid, std::min(ours + belowNormalNiceStep, 19));
    }
    auto state = std::make_unique<State>();
    state->pid = pid;
    return std::shared_ptr<ChildProcess>(new ChildProcess(std::move(state)));
}

std::int64_t ChildProcess::id() const { return state->pid; }

ProcessEnd ChildProcess::wait() {
    ProcessEnd end;
    // Wait for the end without collecting it, so that interrupt() can still signal the
    // group safely up to the moment the id is released below.
    siginfo_t info;
    for (;;) {
        std::memset(&info, 0, sizeof info);
        if (waitid(P_PID, state->pid, &info, WEXITED | WNOWAIT) == 0 || errno != EINTR) break;
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    if (state->collected) return end;
    int status = 0;
    pid_t got;
    do {
        got = waitpid(state->pid, &status, 0);
    } while (got < 0 && errno == EINTR);
    state->collected = true;
    if (got == state->pid) {
        if (WIFEXITED(status)) {
            end.how = ProcessEnd::How::Exited;
            end.code = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            end.how = ProcessEnd::How::Signalled;
            end.code = WTERMSIG(status);
        }
    }
    // Otherwise someone else collected it (SIGCHLD ignored): the end is unknown.
    return end;
}

bool ChildProcess::interrupt() {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (state->collected || state->pid <= 0) return false;
    return kill(-state->pid, SIGINT) == 0;
}

bool ChildProcess::running() const {
    std::lock_guard<std::mutex> lock(state->mutex);
    return !state->collected;
}

bool isLaunchableProgram(const std::filesystem::path& program) {
    struct stat info;
    return stat(program.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(program.c_str(), X_OK) == 0;
}

std::filesystem::path executableFileName(const std::string& baseName) { return baseName; }

}  // namespace kalo::platform
