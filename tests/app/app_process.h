#pragma once
// Runs the real application as a child process and drives its window through the X server
// (the tests run under a virtual display).
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

struct AppProcess {
    pid_t pid = -1;
    std::filesystem::path outputFile;
    std::shared_ptr<kalo::test::ChildProcess> process;

    // Starts `program` in `workingDirectory` with HOME set to `home` (and no XDG_DATA_HOME),
    // its standard output and error going to `outputFile`.
    static AppProcess start(const std::filesystem::path& program,
                            const std::filesystem::path& workingDirectory,
                            const std::filesystem::path& home,
                            const std::filesystem::path& outputFile);
    // Starts `arguments` as `setup` says; standard output and error go to its outputFile.
    static AppProcess start(const std::vector<std::string>& arguments, const kalo::test::ProcessSetup& setup);

    // Waits up to `seconds` for the process to end; its exit status, -1000 - signal when a
    // signal ended it, or -1000 on time-out (the process is then killed).
    int waitForExit(double seconds);
    std::string output() const;
};

// X11 helpers; window ids are 0 when nothing was found.
unsigned long findWindowOf(pid_t pid, double seconds);
std::string windowTitle(unsigned long window);
void windowSize(unsigned long window, int& width, int& height);
void pressKey(unsigned long window, const char* keyName);
// What a window manager's close button sends: WM_PROTOCOLS / WM_DELETE_WINDOW.
void requestClose(unsigned long window);
