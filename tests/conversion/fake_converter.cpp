// A stand-in converter for the tests: takes the converter's command line, reads what to do
// from the file named after "-i", records the arguments it received in the file named
// after "-y", and writes FFmpeg-style status lines ("frame=%5d ...", rewritten with \r) to
// its standard error. SIGINT stops it. Script keys (one "key value" per line):
//   frames N      frames to "convert" (default 100)
//   step_ms M     pause per frame (default 20)
//   warnings K    warning lines written before each status line (default 0)
//   exit C        exit code after the last frame (default 0)
//   error TEXT    line written before a non-zero exit
//   stop_exit S   exit code when stopped by SIGINT (default 255)
//   stop_ms D     time it takes to stop after SIGINT (finishing its file; default 0)
// The record ends with an "inherited descriptor N" line for every descriptor above the
// standard streams that was open when it started: a started converter should have none.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

volatile sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

}  // namespace

int main(int argc, char** argv) {
    std::string inherited;
    for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) inherited += "inherited descriptor " + std::to_string(fd) + '\n';
    }
    std::string script;
    std::string record;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-i") == 0) script = argv[i + 1];
        if (std::strcmp(argv[i], "-y") == 0) record = argv[i + 1];
    }
    long frames = 100, stepMs = 20, warnings = 0, exitCode = 0, stopExit = 255, stopMs = 0;
    std::string error = "fake converter failed";
    std::ifstream scriptFile(script);
    if (!scriptFile) {
        std::fprintf(stderr, "%s: No such file or directory\n", script.c_str());
        return 1;
    }
    for (std::string line; std::getline(scriptFile, line);) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "frames") fields >> frames;
        if (key == "step_ms") fields >> stepMs;
        if (key == "warnings") fields >> warnings;
        if (key == "exit") fields >> exitCode;
        if (key == "stop_exit") fields >> stopExit;
        if (key == "stop_ms") fields >> stopMs;
        if (key == "error") {
            std::getline(fields >> std::ws, error);
        }
    }
    {
        std::ofstream out(record, std::ios::binary);
        for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
        out << inherited;
    }
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onInterrupt;
    sigaction(SIGINT, &action, nullptr);

    std::fprintf(stderr, "fake converter %d: %ld frames\n", static_cast<int>(getpid()), frames);
    for (long frame = 0; frame <= frames; ++frame) {
        if (interrupted) {
            std::fprintf(stderr, "\nExiting normally, received signal %d.\n", SIGINT);
            std::this_thread::sleep_for(std::chrono::milliseconds(stopMs));
            std::ofstream(record, std::ios::app) << "stopped at " << frame << '\n';
            return static_cast<int>(stopExit);
        }
        for (long w = 0; w < warnings; ++w) {
            std::fprintf(stderr,
                         "[h264 @ 0x5581] frame %ld: a warning line written for every frame\n",
                         frame);
        }
        std::fprintf(stderr,
                     "frame=%5ld fps= 50 q=28.0 size=    %4ldkB time=00:00:%02ld.00 "
                     "bitrate= 800.0kbits/s speed=2.0x    \r",
                     frame, frame * 4 % 10000, frame / 25 % 60);
        std::fflush(stderr);
        if (stepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
    }
    std::fprintf(stderr, "\n");
    if (exitCode != 0) std::fprintf(stderr, "%s\n", error.c_str());
    return static_cast<int>(exitCode);
}
