// The file dialogs of a Linux desktop: zenity (GNOME and most others), else kdialog (KDE).
// Each is run as a child with an argument list, never through a shell, so no file name is
// ever read as shell syntax; its standard output carries the choice.
#include "platform/file_dialog.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <stdexcept>

#include "platform/text_encoding.h"

extern char** environ;

namespace kalo::platform {
namespace {

std::mutex folderMutex;
std::string lastFolder;  // where the last choice was made; empty before the first

bool isDirectory(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    const passwd* entry = getpwuid(getuid());
    if (entry && entry->pw_dir && entry->pw_dir[0] == '/') return entry->pw_dir;
    return "/";
}

// XDG_VIDEOS_DIR of the user-dirs file ("$HOME/Videos" or an absolute path), or empty.
std::string xdgVideosFolder(const std::string& home) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string config =
        (configHome && configHome[0] == '/') ? std::string(configHome) : home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_VIDEOS_DIR=";
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
        if (!value.empty() && value[0] == '/') return value;
    }
    return {};
}

// The user's Videos folder, else the home folder.
std::string firstFolder() {
    const std::string home = homeFolder();
    const std::string xdg = xdgVideosFolder(home);
    if (isDirectory(xdg)) return xdg;
    if (isDirectory(home + "/Videos")) return home + "/Videos";
    return home;
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    return folder;
}

std::string startFolder() {
    std::lock_guard<std::mutex> lock(folderMutex);
    if (isDirectory(lastFolder)) return withSlash(lastFolder);
    return withSlash(firstFolder());
}

void rememberFolderOf(const std::string& chosen, bool chosenIsFolder) {
    std::string folder = chosen;
    if (!chosenIsFolder) {
        const size_t slash = folder.find_last_of('/');
        folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    }
    if (folder.empty() || folder[0] != '/') return;
    std::lock_guard<std::mutex> lock(folderMutex);
    lastFolder = folder;
}

// An executable regular file called `name` in a folder of PATH, or empty.
std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return {};
    const std::string folders = path;
    size_t begin = 0;
    while (begin <= folders.size()) {
        size_t end = folders.find(':', begin);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = folders.substr(begin, end - begin);
        if (!folder.empty()) {
            const std::string candidate = folder + "/" + name;
            struct stat info {};
            if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        begin = end + 1;
    }
    return {};
}

// Patterns as both dialogs read them, in both letter cases, since the toolkits compare
// names case-sensitively and cameras write ".MP4".
std::string patternList(const FileDialogFilterEntry& entry) {
    std::string text;
    auto add = [&text](const std::string& pattern) {
        if (!text.empty()) text.push_back(' ');
        text += pattern;
    };
    for (const std::string& pattern : entry.patterns) add(pattern);
    for (const std::string& pattern : entry.patterns) {
        std::string upper = pattern;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper != pattern) add(upper);
    }
    return text;
}

std::vector<std::string> zenityArguments(const FileDialogRequest& request,
                                         const std::string& start) {
    std::vector<std::string> arguments{"--file-selection"};
    if (request.kind == FileDialogKind::SaveFile) {
        arguments.push_back("--save");
        arguments.push_back("--confirm-overwrite");
    } else if (request.kind == FileDialogKind::ChooseFolder) {
        arguments.push_back("--directory");
    }
    // One argument each, joined with '=': a value is never taken for an option.
    arguments.push_back("--filename=" + start);
    if (request.kind != FileDialogKind::ChooseFolder) {
        for (const FileDialogFilterEntry& entry : parseFileDialogFilter(request.filter))
            arguments.push_back("--file-filter=" + entry.description + " | " + patternList(entry));
    }
    return arguments;
}

std::vector<std::string> kdialogArguments(const FileDialogRequest& request,
                                          const std::string& start) {
    std::string filter;
    for (const FileDialogFilterEntry& entry : parseFileDialogFilter(request.filter)) {
        if (!filter.empty()) filter.push_back('\n');
        filter += patternList(entry) + "|" + entry.description;
    }
    // The start folder is absolute, so it never begins with '-'.
    switch (request.kind) {
        case FileDialogKind::OpenFile: return {"--getopenfilename", start, filter};
        case FileDialogKind::SaveFile: return {"--getsavefilename", start, filter};
        case FileDialogKind::ChooseFolder: break;
    }
    return {"--getexistingdirectory", start};
}

struct ChildRun {
    bool started = false;
    std::string startError;
    int status = 0;  // waitpid status
    std::string output;
    std::string errors;
};

// Runs the program with standard input from /dev/null and reads both of its output streams
// to their end before collecting it, so a chatty dialog can never block on a full pipe.
ChildRun runChild(const std::string& program, const std::vector<std::string>& arguments) {
    ChildRun run;
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        run.startError = std::strerror(errno);
        return run;
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        run.startError = std::strerror(errno);
        close(out[0]);
        close(out[1]);
        return run;
    }
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // SDL's threads block some signals, and masks and ignored signals are inherited: the
    // dialog starts with none blocked and the default handling of those that end it.
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int result =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(out[1]);
    close(err[1]);
    if (result != 0) {
        run.startError = std::strerror(result);
        close(out[0]);
        close(err[0]);
        return run;
    }
    run.started = true;

    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.output, &run.errors};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t count = read(fds[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& fd : fds)
        if (fd.fd >= 0) close(fd.fd);
    while (waitpid(pid, &run.status, 0) < 0 && errno == EINTR) {
    }
    return run;
}

std::string lastLine(const std::string& text) {
    size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos) return {};
    const size_t begin = text.find_last_of('\n', end);
    return text.substr(begin == std::string::npos ? 0 : begin + 1,
                       end - (begin == std::string::npos ? 0 : begin + 1) + 1);
}

FileDialogResult failure(std::string detail) {
    FileDialogResult result;
    result.status = FileDialogStatus::Failed;
    result.detail = std::move(detail);
    return result;
}

// The extension of the first filter entry's first pattern ("*.mp4" gives ".mp4").
std::string defaultExtension(const FileDialogRequest& request) {
    const auto entries = parseFileDialogFilter(request.filter);
    if (entries.empty()) return {};
    const std::string& pattern = entries.front().patterns.front();
    if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
        pattern.find_first_of("*?", 2) == std::string::npos)
        return pattern.substr(1);
    return {};
}

}  // namespace

FileDialogResult showSystemFileDialog(const FileDialogRequest& request) {
    std::string name = "zenity";
    std::string program = findOnPath(name);
    if (program.empty()) {
        name = "kdialog";
        program = findOnPath(name);
    }
    if (program.empty()) {
        FileDialogResult result;
        result.status = FileDialogStatus::Unavailable;
        result.detail = "neither zenity nor kdialog was found on PATH";
        return result;
    }
    const std::string start = startFolder();
    const std::vector<std::string> arguments = name == "zenity"
                                                   ? zenityArguments(request, start)
                                                   : kdialogArguments(request, start);
    const ChildRun run = runChild(program, arguments);
    if (!run.started) return failure(name + " could not be started: " + run.startError);
    if (WIFSIGNALED(run.status))
        return failure(name + " ended by signal " + std::to_string(WTERMSIG(run.status)));
    const int code = WIFEXITED(run.status) ? WEXITSTATUS(run.status) : -1;
    if (code == 1) return FileDialogResult{};  // cancelled
    if (code != 0) {
        const std::string why = lastLine(run.errors);
        return failure(name + " failed (exit code " + std::to_string(code) + ")" +
                       (why.empty() ? std::string() : ": " + why));
    }

    // The choice, exactly as printed: only the line end the dialog adds is dropped.
    std::string chosen = run.output;
    if (!chosen.empty() && chosen.back() == '\n') chosen.pop_back();
    if (chosen.empty()) return FileDialogResult{};

    FileDialogResult result;
    result.status = FileDialogStatus::Chosen;
    // kdialog does not promise to ask before replacing a file; zenity asks for the name
    // that was typed.
    result.overwriteConfirmed = name == "zenity";
    if (request.kind == FileDialogKind::ChooseFolder) {
        chosen = withSlash(chosen);
    } else if (request.kind == FileDialogKind::SaveFile) {
        const std::string extension = defaultExtension(request);
        try {
            if (!extension.empty() && !hasFileExtension(utf8ToWide(chosen))) {
                chosen += extension;
                result.extensionAdded = true;
                result.overwriteConfirmed = false;
            }
        } catch (const std::exception&) {
            // Not UTF-8: reported below.
        }
    }
    try {
        result.path = utf8ToWide(chosen);
    } catch (const std::exception& error) {
        return failure("the chosen name is not valid UTF-8 (" + std::string(error.what()) + ")");
    }
    rememberFolderOf(chosen, request.kind == FileDialogKind::ChooseFolder);
    return result;
}

void forgetFileDialogFolder() {
    std::lock_guard<std::mutex> lock(folderMutex);
    lastFolder.clear();
}

}  // namespace kalo::platform
