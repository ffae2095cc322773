#include "app_process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <thread>

AppProcess AppProcess::start(const std::filesystem::path& program,
                             const std::filesystem::path& workingDirectory,
                             const std::filesystem::path& home,
                             const std::filesystem::path& outputFile) {
    kalo::test::ProcessSetup setup;
    setup.outputFile = outputFile;
    setup.workingDirectory = workingDirectory;
    setup.unset = {"XDG_DATA_HOME"};
    setup.environment = {{"HOME", home.string()},
                         {"SDL_AUDIODRIVER", "dummy"}};  // no sound card on test machines
    return start({program.string()}, setup);
}

AppProcess AppProcess::start(const std::vector<std::string>& arguments, const kalo::test::ProcessSetup& setup) {
    AppProcess app;
    app.outputFile = setup.outputFile;
    app.process = std::make_shared<kalo::test::ChildProcess>(arguments, setup);
    app.pid = app.process->id();
    if (!app.process->started()) std::fprintf(stderr, "%s\n", app.process->startError().c_str());
    return app;
}

int AppProcess::waitForExit(double seconds) {
    if (!process || !process->started()) return -1000;
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(seconds));
    const kalo::test::ProcessResult end = process->wait(limit);
    if (end.timedOut) return -1000;
    if (end.exited) return static_cast<signed char>(end.exitCode);
    return -1000 - end.signal;
}

std::string AppProcess::output() const { return kalo::test::readFile(outputFile); }

namespace {

// Tests run side by side on one display: a window being searched may close at any moment
// (another test's program ending). Xlib's default handler ends the whole test process on
// the resulting BadWindow; such a window simply does not match.
int ignoreVanishedWindows(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable ||
        error->error_code == BadMatch) {
        return 0;
    }
    std::fprintf(stderr, "X error %d (request %d)\n", error->error_code, error->request_code);
    return 0;
}

Display* display() {
    static Display* shared = [] {
        XSetErrorHandler(ignoreVanishedWindows);
        return XOpenDisplay(nullptr);
    }();
    return shared;
}

bool windowBelongsTo(Display* d, Window w, pid_t pid) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", True);
    if (pidAtom == None) return false;
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    bool match = false;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                           &after, &data) == Success && data && items == 1) {
        match = *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(pid);
    }
    if (data) XFree(data);
    return match;
}

Window searchTree(Display* d, Window root, pid_t pid) {
    Window parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (windowBelongsTo(d, children[i], pid) && XGetWindowAttributes(d, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
            found = children[i];
        }
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

unsigned long findWindowOf(pid_t pid, double seconds) {
    Display* d = display();
    if (!d) return 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Window w = searchTree(d, DefaultRootWindow(d), pid)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let it draw
            return w;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

std::string windowTitle(unsigned long window) {
    Display* d = display();
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(d, window, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &items, &after,
                           &data) == Success && data) {
        title.assign(reinterpret_cast<char*>(data), items);
    }
    if (data) XFree(data);
    return title;
}

void windowSize(unsigned long window, int& width, int& height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display(), window, &attributes);
    width = attributes.width;
    height = attributes.height;
}

void pressKey(unsigned long window, const char* keyName) {
    Display* d = display();
    XKeyEvent event{};
    event.display = d;
    event.window = window;
    event.root = DefaultRootWindow(d);
    event.same_screen = True;
    event.keycode = XKeysymToKeycode(d, XStringToKeysym(keyName));
    event.type = KeyPress;
    XSetInputFocus(d, window, RevertToParent, CurrentTime);
    XSendEvent(d, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&event));
    event.type = KeyRelease;
    XSendEvent(d, window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&event));
    XFlush(d);
}

void requestClose(unsigned long window) {
    Display* d = display();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &event);
    XFlush(d);
}
