#include "platform/process.h"

#include <windows.h>

#include <mutex>

#include "platform/text_encoding.h"

namespace kalo::platform {

struct ChildProcess::State {
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    DWORD id = 0;
    mutable std::mutex mutex;
    bool collected = false;  // handles closed: the id may be reused, never signal it again
};

namespace {

std::string lastErrorText(DWORD code) {
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text = length ? std::wstring(message, length) : std::wstring();
    if (message) LocalFree(message);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return "error " + std::to_string(code) + (text.empty() ? "" : ": " + wideToUtf8(text));
}

}  // namespace

ChildProcess::ChildProcess(std::unique_ptr<State> state) : state(std::move(state)) {}

ChildProcess::~ChildProcess() {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!state->collected) {
        CloseHandle(state->thread);
        CloseHandle(state->process);
    }
}

std::string ProcessEnd::describe() const {
    switch (how) {
        case How::Exited: return "exit code " + std::to_string(static_cast<unsigned>(code));
        case How::Signalled: return "stopped by event " + std::to_string(code);
        case How::Unknown: break;
    }
    return "unknown end";
}

std::shared_ptr<ChildProcess> ChildProcess::start(const ProcessLaunch& launch, std::string* error) {
    const std::wstring application = launch.program.wstring();
    // CreateProcessW may write into the command line: give it a private, terminated copy.
    std::wstring commandLine = launch.windowsCommandLine;
    commandLine.push_back(L'\0');
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created;
    ZeroMemory(&created, sizeof created);
    // The child shares the application's console and heads its own process group, whose
    // id is its process id; handles are not inherited.
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_PROCESS_GROUP |
                            (launch.belowNormalPriority ? BELOW_NORMAL_PRIORITY_CLASS : 0),
                        nullptr, nullptr, &startup, &created)) {
        if (error) *error = lastErrorText(GetLastError());
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->process = created.hProcess;
    state->thread = created.hThread;
    state->id = created.dwProcessId;
    return std::shared_ptr<ChildProcess>(new ChildProcess(std::move(state)));
}

std::int64_t ChildProcess::id() const { return state->id; }

ProcessEnd ChildProcess::wait() {
    ProcessEnd end;
    WaitForSingleObject(state->process, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(state->process, &code)) {
        end.how = ProcessEnd::How::Exited;
        end.code = static_cast<int>(code);
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!state->collected) {
        CloseHandle(state->thread);
        CloseHandle(state->process);
        state->collected = true;
    }
    return end;
}

bool ChildProcess::interrupt() {
    std::lock_guard<std::mutex> lock(state->mutex);
    // While we hold the process handle its id cannot be given to another process.
    if (state->collected || state->id == 0) return false;
    return GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, state->id) != FALSE;
}

bool ChildProcess::running() const {
    std::lock_guard<std::mutex> lock(state->mutex);
    return !state->collected;
}

bool isLaunchableProgram(const std::filesystem::path& program) {
    const DWORD attributes = GetFileAttributesW(program.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::filesystem::path executableFileName(const std::string& baseName) {
    return utf8ToWide(baseName + ".exe");
}

}  // namespace kalo::platform
