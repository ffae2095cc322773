#pragma once
// Child processes started in the application's console as the root of their own process
// group, so that a break can be sent to the child and whatever it started without reaching
// the application. Windows: CreateProcessW with CREATE_NEW_PROCESS_GROUP and
// GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT). POSIX: posix_spawn into a new process group
// with the console pseudo-terminal as standard streams, and SIGINT to the group.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kalo::platform {

struct ProcessLaunch {
    std::filesystem::path program;        // full path of the executable
    std::vector<std::wstring> arguments;  // without a program-name token (POSIX argv[1..])
    std::wstring windowsCommandLine;      // the same arguments as one Windows command string
    // Run below the application's own priority, so that a child that takes every core (a
    // converter) leaves the window drawing and answering.
    bool belowNormalPriority = false;
};

struct ProcessEnd {
    enum class How { Exited, Signalled, Unknown };
    How how = How::Unknown;
    int code = 0;  // exit code, or the signal number

    bool succeeded() const { return how == How::Exited && code == 0; }
    std::string describe() const;  // "exit code 3", "signal 9", ...
};

class ChildProcess {
public:
    // Starts the program. On failure returns null and describes why in *error (UTF-8).
    static std::shared_ptr<ChildProcess> start(const ProcessLaunch& launch, std::string* error);

    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The process id, which is also the id of its process group.
    std::int64_t id() const;

    // Blocks until the process ends and collects it. Call once, from one thread.
    ProcessEnd wait();

    // Sends the break (SIGINT on POSIX) to the process group, but only while the process
    // has not been collected by wait(): after that its id may belong to another program.
    // Safe from any thread. Returns true when the break was sent.
    bool interrupt();

    // False once wait() has collected the process.
    bool running() const;

    struct State;  // per OS

private:
    explicit ChildProcess(std::unique_ptr<State> state);
    std::unique_ptr<State> state;
};

// True when `program` names an existing file this OS can start.
bool isLaunchableProgram(const std::filesystem::path& program);

// The file name of an executable called `baseName` on this OS ("kalo-depth" or
// "kalo-depth.exe").
std::filesystem::path executableFileName(const std::string& baseName);

}  // namespace kalo::platform
