#include "e2e_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "clip_factory.h"
#include "media_probe.h"
#include "private_display.h"

namespace kalo::e2e {
namespace fs = std::filesystem;

const char* const jobStartedLine = "Event get the thread start signal !";
const char* const jobFinishedLine = "Event get the thread finish signal !";
const char* const completionShownLine = "completion shown";
const char* const completionHiddenLine = "completion hidden";

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadlineAfter(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// The state letter of /proc/<pid>/stat; '?' when the process is gone.
char processState(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(in, text);
    const std::size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() ? '?' : text[close + 2];
}

bool processAlive(pid_t pid) {
    const char state = processState(pid);
    return state != '?' && state != 'Z' && state != 'X';
}

// Every process below `pid` (the converters the application started, and theirs).
std::vector<pid_t> descendantsOf(pid_t pid) {
    std::multimap<pid_t, pid_t> children;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "stat");
        std::string text;
        std::getline(in, text);
        const std::size_t close = text.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(text.substr(close + 2));
        char state;
        pid_t parent = 0;
        rest >> state >> parent;
        children.emplace(parent, static_cast<pid_t>(std::stol(name)));
    }
    std::vector<pid_t> found;
    std::vector<pid_t> pending{pid};
    while (!pending.empty()) {
        const pid_t next = pending.back();
        pending.pop_back();
        const auto range = children.equal_range(next);
        for (auto it = range.first; it != range.second; ++it) {
            found.push_back(it->second);
            pending.push_back(it->second);
        }
    }
    return found;
}

std::string testName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

std::size_t nthPosition(const std::string& text, const std::string& what, std::size_t n) {
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i < n; ++i) {
        at = text.find(what, at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos) return at;
    }
    return at;
}

}  // namespace

void EndToEnd::SetUp() {
    ASSERT_FALSE(privateDisplayName().empty()) << "no X server of our own";
    const std::string name = testName();
    root = fs::temp_directory_path() / ("kalo-e2e-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(root);
    home = root / "home";
    for (const char* folder : {".local/share", ".config", ".cache", ".local/state", "runtime"}) {
        fs::create_directories(home / folder);
    }
    fs::permissions(home / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    dialog = std::make_unique<StandInDialog>(root / "dialog");
    desktop = std::make_unique<DesktopSession>(root / "tools");
    layout = ScreenLayout::fromDocument(fs::path(KALO_SOURCE_DIR) / "config" / "resources" / "kalo_conv_UI.json");
    shotsFolder = fs::path(KALO_E2E_SHOTS_DIR) / name;
    fs::remove_all(shotsFolder);
    fs::create_directories(shotsFolder);
}

void EndToEnd::TearDown() {
    if (appRunning) {
        shot("at-the-end");
        endApp();
    }
    // What the application printed, kept beside the screenshots.
    std::error_code ignoredCopy;
    for (int n = 1; n <= launches; ++n) {
        const std::string name = "app-output-" + std::to_string(n) + ".txt";
        fs::copy_file(root / name, shotsFolder / name, fs::copy_options::overwrite_existing, ignoredCopy);
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

void EndToEnd::endApp() {
    for (const pid_t child : descendantsOf(app.pid)) kill(child, SIGKILL);
    app.waitForExit(0);  // kills and collects it
    appRunning = false;
}

testing::AssertionResult EndToEnd::startApp(Launch launch) {
    if (launch.program.empty()) launch.program = fs::path(KALO_BIN_DIR) / "kalo-converter";
    if (launch.workingDirectory.empty()) launch.workingDirectory = KALO_BIN_DIR;
    std::vector<std::pair<std::string, std::string>> environment = {
        {"HOME", home.string()},
        {"XDG_DATA_HOME", (home / ".local/share").string()},
        {"XDG_CONFIG_HOME", (home / ".config").string()},
        {"XDG_CACHE_HOME", (home / ".cache").string()},
        {"XDG_STATE_HOME", (home / ".local/state").string()},
        {"XDG_RUNTIME_DIR", (home / "runtime").string()},
        {"PATH", dialog->programFolder().string() + ":" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "")},
        {"SDL_AUDIODRIVER", "dummy"},  // no sound card on test machines
    };
    environment.insert(environment.end(), launch.environment.begin(), launch.environment.end());
    const fs::path outputFile = root / ("app-output-" + std::to_string(++launches) + ".txt");

    std::vector<std::string> argv{launch.program.string()};
    argv.insert(argv.end(), launch.arguments.begin(), launch.arguments.end());
    test::ProcessSetup setup;
    setup.outputFile = outputFile;
    setup.workingDirectory = launch.workingDirectory;
    setup.unset = {"KALO_CONVERTER"};
    setup.environment = environment;
    app = AppProcess::start(argv, setup);
    const pid_t pid = app.pid;
    if (pid <= 0) {
        return testing::AssertionFailure() << "cannot start " << launch.program << ": "
                                           << app.process->startError();
    }
    appRunning = true;
    const auto deadline = deadlineAfter(30);
    while (!(window = findWindowOf(pid, 0.5))) {
        if (!processAlive(pid) || Clock::now() >= deadline) {
            return testing::AssertionFailure() << launch.program << " showed no main window within 30 s"
                                               << (processAlive(pid) ? "" : " and ended") << ":\n"
                                               << outputTail();
        }
    }
    // The window can be found before the X server has applied its size (1x0 on a busy
    // machine): wait, with a limit, for the size the layout is for.
    int width = 0, height = 0;
    const auto sizeDeadline = deadlineAfter(10);
    for (;;) {
        windowSize(window, width, height);
        if ((width == layout.windowWidth && height == layout.windowHeight) || Clock::now() >= sizeDeadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (width != layout.windowWidth || height != layout.windowHeight) {
        return testing::AssertionFailure() << "the main window is " << width << "x" << height
                                           << ", the layout is for " << layout.windowWidth << "x"
                                           << layout.windowHeight;
    }
    if (auto rested = restPointer(); !rested) return rested;
    // The window maps before its first frame: wait until the source button is drawn and the
    // screen has settled, so that what the test compares and types reaches a ready screen.
    Picture last;
    auto lastChange = Clock::now();
    auto drawn = waitForPicture(
        layout.sourceButton,
        [&](const Picture& picture) {
            if (picture != last) {
                last = picture;
                lastChange = Clock::now();
            }
            const bool painted = std::any_of(picture.pixels.begin(), picture.pixels.end(),
                                             [&](std::uint32_t p) { return p != picture.pixels.front(); });
            return painted && Clock::now() - lastChange >= std::chrono::milliseconds(500);
        },
        30, "the converter screen drawn");
    if (!drawn) return drawn;
    shot("started");
    return testing::AssertionSuccess();
}

testing::AssertionResult EndToEnd::appStillRunning() {
    if (processAlive(app.pid) && desktop->isViewable(window)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the application is gone:\n" << outputTail();
}

int EndToEnd::waitForAppExit(double seconds) {
    const auto deadline = deadlineAfter(seconds);
    while (processAlive(app.pid)) {
        if (Clock::now() >= deadline) {
            endApp();
            return -1000;
        }
        pause(50);
    }
    appRunning = false;
    return app.waitForExit(5);  // collects it
}

testing::AssertionResult EndToEnd::quitWithEscape() {
    if (!pressKeys("Escape")) return testing::AssertionFailure() << "cannot type Escape";
    const int status = waitForAppExit(20);
    if (status == -1000) return testing::AssertionFailure() << "still running 20 s after Escape:\n" << outputTail();
    if (status != 0) return testing::AssertionFailure() << "exit status " << status << ":\n" << outputTail();
    return testing::AssertionSuccess();
}

fs::path EndToEnd::makeClip(const std::string& name, double seconds) {
    const fs::path clip = root / fs::u8path(name);
    fs::create_directories(clip.parent_path());
    if (!test::makeClip(clip, "640x360", seconds, root / "tools")) {
        ADD_FAILURE() << "ffmpeg could not make " << clip;
    }
    return clip;
}

fs::path EndToEnd::writeConverterScript(const std::string& name, const std::string& body) {
    const fs::path script = root / "converters" / name;
    fs::create_directories(script.parent_path());
    std::ofstream(script, std::ios::binary) << "#!/bin/sh\n" << body;
    chmod(script.c_str(), 0755);
    return script;
}

std::string EndToEnd::output() const { return app.pid > 0 ? app.output() : std::string(); }

std::size_t EndToEnd::occurrences(const std::string& text) const {
    const std::string all = output();
    std::size_t count = 0;
    for (std::size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++count;
    return count;
}

std::string EndToEnd::outputTail() const {
    const std::string all = output();
    return all.size() > 3000 ? "..." + all.substr(all.size() - 3000) : all;
}

testing::AssertionResult EndToEnd::waitForOutput(const std::string& text, std::size_t count, double seconds) {
    const auto deadline = deadlineAfter(seconds);
    for (;;) {
        if (occurrences(text) >= count) return testing::AssertionSuccess();
        if (!processAlive(app.pid)) {
            return testing::AssertionFailure() << "the application ended before printing \"" << text << "\" (" << count
                                               << " times):\n" << outputTail();
        }
        if (Clock::now() >= deadline) {
            shot("waiting-failed");
            return testing::AssertionFailure() << "\"" << text << "\" was printed " << occurrences(text)
                                               << " times within " << seconds << " s, expected " << count
                                               << ":\n" << outputTail();
        }
        pause(50);
    }
}

void EndToEnd::shot(const std::string& step) {
    const int number = ++shotNumber;
    const std::string prefix = (number < 10 ? "0" : "") + std::to_string(number) + "-";
    if (!desktop->saveScreenshot(shotsFolder / fs::u8path(prefix + step + ".png"))) {
        ADD_FAILURE() << "cannot take the screenshot " << step;
    }
}

testing::AssertionResult EndToEnd::click(Point point, const std::string& what) {
    if (desktop->click(window, point)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "cannot click " << what << " at (" << point.x << ", " << point.y << ")";
}

testing::AssertionResult EndToEnd::restPointer() {
    if (desktop->movePointer(window, {3, layout.windowHeight - 3})) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "cannot move the pointer";
}

testing::AssertionResult EndToEnd::pressKeys(const std::string& keys) {
    if (desktop->pressKeys(window, keys)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "cannot type \"" << keys << "\" into the main window";
}

testing::AssertionResult EndToEnd::expectBox(std::size_t number, const std::string& title, std::string* text,
                                             double seconds) {
    if (!dialog->waitForBoxes(number, seconds)) {
        shot("no-box");
        return testing::AssertionFailure() << "message box " << number << " (\"" << title << "\") was not shown within "
                                           << seconds << " s:\n" << outputTail();
    }
    const StandInDialog::Call box = dialog->boxes()[number - 1];
    if (box.valueAfter("--title") != title) {
        return testing::AssertionFailure() << "message box " << number << " is \"" << box.valueAfter("--title")
                                           << "\": " << box.valueAfter("--text") << ", expected \"" << title << "\"";
    }
    if (text) *text = box.valueAfter("--text");
    return testing::AssertionSuccess();
}

Picture EndToEnd::grab(const Area& area) const { return desktop->capture(window, area); }

testing::AssertionResult EndToEnd::waitForPicture(const Area& area, const std::function<bool(const Picture&)>& accept,
                                                  double seconds, const std::string& what) {
    const auto deadline = deadlineAfter(seconds);
    for (;;) {
        const Picture picture = grab(area);
        if (!picture.empty() && accept(picture)) return testing::AssertionSuccess();
        if (Clock::now() >= deadline) {
            shot("not-seen");
            return testing::AssertionFailure() << "not seen within " << seconds << " s: " << what << "\n"
                                               << outputTail();
        }
        pause(100);
    }
}

testing::AssertionResult EndToEnd::openSourceByButton(const fs::path& clip) {
    const std::size_t before = dialog->callCount();
    dialog->queueChoice(clip);
    if (auto pressed = click(layout.sourceButton.centre(), "the source button"); !pressed) return pressed;
    if (!dialog->waitForCalls(before + 1, 10)) {
        shot("no-open-dialog");
        return testing::AssertionFailure() << "the source button opened no file dialog within 10 s";
    }
    const StandInDialog::Call call = dialog->calls()[before];
    if (!call.hasArgument("--file-selection") || call.hasArgument("--save") || call.hasArgument("--directory")) {
        return testing::AssertionFailure() << "the source button did not ask for a file to open";
    }
    return waitForThumbnail();
}

testing::AssertionResult EndToEnd::waitForThumbnail() {
    auto shown = waitForPicture(
        layout.preview, [](const Picture& picture) { return picture.colourfulShare() > 0.05; }, 20,
        "the source's thumbnail in the preview area");
    if (shown) shot("source-loaded");
    return shown;
}

testing::AssertionResult EndToEnd::pickRow(const PullDownPlace& list, int row, const std::string& name) {
    const Point rowCentre = list.row(row);
    // Rows 0 .. `row`: every later row slides down through them before they are still.
    const int top = list.row(0).y - list.rowHeight / 2;
    const Area column{list.header.x, top, list.rowWidth, rowCentre.y + list.rowHeight / 2 - top};
    if (auto rested = restPointer(); !rested) return rested;
    const Picture headerBefore = grab(list.header);
    const Picture columnBefore = grab(column);
    if (auto pressed = click(list.header.centre(), name + " list"); !pressed) return pressed;
    // The rows drop a few pixels a frame: wait until the column shows and has been still for
    // a while, whatever the frame rate.
    Picture last;
    auto lastChange = Clock::now();
    auto dropped = waitForPicture(
        column,
        [&](const Picture& picture) {
            if (picture != last) {
                last = picture;
                lastChange = Clock::now();
            }
            return picture != columnBefore && Clock::now() - lastChange >= std::chrono::milliseconds(400);
        },
        10, "rows 0 to " + std::to_string(row) + " of the " + name + " list in place");
    if (!dropped) return dropped;
    shot(name + "-list-open");
    if (auto pressed = click(rowCentre, "row " + std::to_string(row) + " of the " + name + " list"); !pressed) {
        return pressed;
    }
    if (auto rested = restPointer(); !rested) return rested;
    auto closed = waitForPicture(
        column, [&](const Picture& picture) { return picture == columnBefore; }, 5, "the " + name + " list closing");
    if (!closed) return closed;
    if (grab(list.header) == headerBefore) {
        shot(name + "-header-unchanged");
        return testing::AssertionFailure() << "the " << name << " header still shows its old choice";
    }
    shot(name + "-row-" + std::to_string(row) + "-chosen");
    return testing::AssertionSuccess();
}

testing::AssertionResult EndToEnd::convertWithSaveDialog(const fs::path& output, std::size_t jobNumber) {
    const std::size_t before = dialog->callCount();
    dialog->queueChoice(output);
    if (auto pressed = click(layout.convertControl.centre(), "the convert button"); !pressed) return pressed;
    if (!dialog->waitForCalls(before + 1, 10)) {
        shot("no-save-dialog");
        return testing::AssertionFailure() << "the convert button asked for no output file within 10 s";
    }
    if (!dialog->calls()[before].hasArgument("--save")) {
        return testing::AssertionFailure() << "the convert button's dialog is not a save dialog";
    }
    return waitForOutput(jobStartedLine, jobNumber, 15);
}

testing::AssertionResult EndToEnd::followJob(std::size_t jobNumber, double seconds, int* distinctPictures) {
    const auto deadline = deadlineAfter(seconds);
    std::vector<Picture> seen;
    bool progressShot = false;
    while (occurrences(jobFinishedLine) < jobNumber) {
        if (!processAlive(app.pid)) return testing::AssertionFailure() << "the application ended:\n" << outputTail();
        if (Clock::now() >= deadline) {
            shot("job-too-long");
            return testing::AssertionFailure() << "job " << jobNumber << " did not end within " << seconds << " s:\n"
                                               << outputTail();
        }
        Picture band = grab(layout.progressBand);
        if (!band.empty() && (seen.empty() || band != seen.back())) {
            seen.push_back(std::move(band));
            if (seen.size() == 3 && !progressShot) {
                shot("converting");
                progressShot = true;
            }
        }
        pause(150);
    }
    if (distinctPictures) *distinctPictures = static_cast<int>(seen.size());
    const std::string all = output();
    const std::size_t start = nthPosition(all, jobStartedLine, jobNumber);
    const std::size_t end = nthPosition(all, jobFinishedLine, jobNumber);
    if (start == std::string::npos || end == std::string::npos || all.find("frame=", start) > end) {
        return testing::AssertionFailure() << "no \"frame=\" progress was printed during job " << jobNumber << ":\n"
                                           << outputTail();
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult isSideBySide1080pWithSound(const fs::path& file, const fs::path& work) {
    const nlohmann::json probed = test::probe(file, work);
    if (probed.is_null()) return testing::AssertionFailure() << "ffprobe cannot read " << file;
    const nlohmann::json* video = test::streamOfType(probed, "video");
    const nlohmann::json* audio = test::streamOfType(probed, "audio");
    if (!video) return testing::AssertionFailure() << "no video stream in " << file;
    if (!audio) return testing::AssertionFailure() << "the sound was lost: " << probed.dump();
    if (video->value("codec_name", "") != "h264" || video->value("width", 0) != 1920 ||
        video->value("height", 0) != 1080) {
        return testing::AssertionFailure() << "not 1920x1080 H.264: " << video->dump();
    }
    bool marked = false;
    for (const nlohmann::json& data : video->value("side_data_list", nlohmann::json::array())) {
        marked = marked || (data.value("side_data_type", "") == "Stereo 3D" && data.value("type", "") == "side by side");
    }
    if (!marked) return testing::AssertionFailure() << "no side-by-side stereo marking: " << video->dump();
    return testing::AssertionSuccess();
}

testing::AssertionResult decodesCleanly(const fs::path& file, const fs::path& work, int* frames) {
    const test::ProcessResult decoded =
        test::runProcess({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                          "stream=nb_read_frames", "-of", "csv=p=0", file.u8string()},
                         work);
    if (!decoded.exited || decoded.exitCode != 0 || !decoded.err.empty()) {
        return testing::AssertionFailure() << "ffprobe cannot decode " << file << ": " << decoded.err;
    }
    const int count = std::atoi(decoded.out.c_str());
    if (frames) *frames = count;
    if (count <= 0) return testing::AssertionFailure() << "no frame decodes in " << file;
    return testing::AssertionSuccess();
}

}  // namespace kalo::e2e
