#include "desktop_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <thread>

#include "child_process.h"

namespace kalo::e2e {
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// A window may go between two requests about it (a message box closing): the error that
// follows is an answer, not a reason to end the test program. The handler serves every
// connection of the process, the window search of app_process.cpp included.
int tolerateErrors(Display*, XErrorEvent*) { return 0; }

Display* display() {
    static Display* shared = [] {
        XSetErrorHandler(tolerateErrors);
        return XOpenDisplay(nullptr);
    }();
    return shared;
}

Clock::time_point deadlineAfter(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

std::string textProperty(Display* d, Window w, Atom property, Atom type) {
    Atom actualType;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actualType, &format, &items, &after, &data) ==
            Success &&
        data && format == 8) {
        text.assign(reinterpret_cast<char*>(data), items);
    }
    if (data) XFree(data);
    return text;
}

std::string titleOf(Display* d, Window w) {
    const std::string wide =
        textProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False));
    if (!wide.empty()) return wide;
    return textProperty(d, w, XA_WM_NAME, AnyPropertyType);
}

bool viewable(Display* d, Window w) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable;
}

std::string decimal(long value) { return std::to_string(value); }

}  // namespace

double Picture::colourfulShare() const {
    if (pixels.empty()) return 0.0;
    std::size_t colourful = 0;
    for (const std::uint32_t pixel : pixels) {
        const int r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
        if (std::max({r, g, b}) - std::min({r, g, b}) > 80) ++colourful;
    }
    return static_cast<double>(colourful) / static_cast<double>(pixels.size());
}

DesktopSession::DesktopSession(fs::path scratch) : scratch_(std::move(scratch)) {
    fs::create_directories(scratch_);
    display();  // installs the tolerant error handler for every connection of the process
}

unsigned long DesktopSession::findWindowTitled(const std::string& title, double seconds) const {
    Display* d = display();
    if (!d) return 0;
    const auto deadline = deadlineAfter(seconds);
    do {
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
            // Topmost first: a new box lies above older windows of the same title.
            for (unsigned int i = count; i-- > 0 && !found;) {
                if (viewable(d, children[i]) && titleOf(d, children[i]) == title) found = children[i];
            }
        }
        if (children) XFree(children);
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Clock::now() < deadline);
    return 0;
}

bool DesktopSession::isViewable(unsigned long window) const {
    Display* d = display();
    return d && viewable(d, window);
}

bool DesktopSession::waitUntilGone(unsigned long window, double seconds) const {
    const auto deadline = deadlineAfter(seconds);
    while (isViewable(window)) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

Picture DesktopSession::capture(unsigned long window, const Area& area) const {
    Picture picture;
    Display* d = display();
    if (!d || !viewable(d, window)) return picture;
    // The screen's own pixels at the window's place: what a person sees, whoever drew it.
    int x = 0, y = 0;
    Window child;
    if (!XTranslateCoordinates(d, window, DefaultRootWindow(d), area.x, area.y, &x, &y, &child)) return picture;
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(area.w),
                              static_cast<unsigned>(area.h), AllPlanes, ZPixmap);
    if (!image) return picture;
    picture.width = area.w;
    picture.height = area.h;
    picture.pixels.reserve(static_cast<std::size_t>(area.w) * area.h);
    for (int row = 0; row < area.h; ++row) {
        for (int column = 0; column < area.w; ++column) {
            picture.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, column, row) & 0xffffff));
        }
    }
    XDestroyImage(image);
    return picture;
}

bool DesktopSession::movePointer(unsigned long window, Point point) const {
    return run({"xdotool", "mousemove", "--window", decimal(static_cast<long>(window)), "--sync", decimal(point.x),
                decimal(point.y)});
}

bool DesktopSession::click(unsigned long window, Point point) const {
    return run({"xdotool", "mousemove", "--window", decimal(static_cast<long>(window)), "--sync", decimal(point.x),
                decimal(point.y), "click", "1"});
}

bool DesktopSession::pressKeys(unsigned long window, const std::string& keys) const {
    Display* d = display();
    if (!d || !viewable(d, window)) return false;
    // No window manager runs on the virtual display: the test hands out the focus itself,
    // then types through XTEST like a keyboard.
    XSetInputFocus(d, window, RevertToParent, CurrentTime);
    XSync(d, False);
    const auto deadline = deadlineAfter(2.0);
    for (;;) {
        Window focus;
        int revert;
        XGetInputFocus(d, &focus, &revert);
        if (focus == window) break;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::vector<std::string> command{"xdotool", "key", "--delay", "40"};
    std::istringstream names(keys);
    for (std::string name; names >> name;) command.push_back(name);
    return run(command);
}

bool DesktopSession::saveScreenshot(const fs::path& file) const {
    fs::create_directories(file.parent_path());
    return run({"import", "-window", "root", file.u8string()});
}

bool DesktopSession::run(const std::vector<std::string>& command) const {
    const test::ProcessResult result = test::runProcess(command, scratch_, std::chrono::seconds(20));
    return result.exited && result.exitCode == 0;
}

}  // namespace kalo::e2e
