#include "app_process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

AppProcess AppProcess::start(const std::filesystem::path& program,
                             const std::filesystem::path& workingDirectory,
                             const std::filesystem::path& home,
                             const std::filesystem::path& outputFile) {
    AppProcess process;
    process.outputFile = outputFile;
    process.pid = fork();
    if (process.pid == 0) {
        if (chdir(workingDirectory.c_str()) != 0) _exit(120);
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        setenv("SDL_AUDIODRIVER", "dummy", 1);  // no sound card on test machines
        const int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(121);
    }
    return process;
}

int AppProcess::waitForExit(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? static_cast<signed char>(WEXITSTATUS(status))
                                     : -1000 - WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1000;
}

std::string AppProcess::output() const {
    std::ifstream in(outputFile);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

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
