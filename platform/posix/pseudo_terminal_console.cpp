#include "platform/posix/pseudo_terminal_console.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/console_screen.h"
#include "platform/posix/terminal_screen.h"

namespace kalo::platform {
namespace {

void setCloseOnExec(int fd) {
    const int flags = fcntl(fd, F_GETFD);
    if (flags >= 0) fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
}

// Standard output for the echo, opened so that a full pipe or a stopped terminal makes the
// echo drop bytes instead of stalling the pump (and through it the converter). A regular
// file keeps the process's own descriptor: a second one would not share its offset.
int openEchoDescriptor() {
    struct stat info;
    if (fstat(STDOUT_FILENO, &info) != 0) return -1;
    if (S_ISREG(info.st_mode)) return STDOUT_FILENO;
    const int fd = open("/dev/fd/1", O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    return fd >= 0 ? fd : STDOUT_FILENO;
}

class PseudoTerminalConsole {
public:
    PseudoTerminalConsole() {
        winsize size{};
        size.ws_row = 50;
        size.ws_col = 200;
        if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) {
            openError = errno;
            master = slave = -1;
            return;
        }
        if (slave <= STDERR_FILENO) {  // never hand out a standard stream's number
            const int moved = fcntl(slave, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
            close(slave);
            slave = moved;
        }
        setCloseOnExec(master);
        setCloseOnExec(slave);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        if (pipe(wakePipe) != 0) {
            openError = errno;
            close(master);
            close(slave);
            master = slave = -1;
            return;
        }
        for (int fd : wakePipe) {
            setCloseOnExec(fd);
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        }
        echoFd = openEchoDescriptor();
        pump = std::thread([this] { pumpLoop(); });
    }

    int terminal(int* error) const {
        if (error) *error = openError;
        return slave;
    }

    ConsoleRowRead readCursorRow(std::size_t count) {
        ConsoleRowRead result;
        if (master < 0) {
            result.errorCode = openError;
            return result;
        }
        std::lock_guard<std::mutex> lock(mutex);
        result.text = screen.row(screen.cursorRow()).substr(0, count);
        result.ok = true;
        return result;
    }

    std::uint64_t cursorRow() {
        std::lock_guard<std::mutex> lock(mutex);
        return screen.cursorRow();
    }

    std::vector<std::wstring> rowsFrom(std::uint64_t firstRow, std::size_t maxRows) {
        std::lock_guard<std::mutex> lock(mutex);
        const std::uint64_t last = screen.cursorRow();
        std::vector<std::wstring> rows;
        if (maxRows == 0 || firstRow > last) return rows;
        if (last - firstRow >= maxRows) firstRow = last - maxRows + 1;
        for (std::uint64_t index = firstRow; index <= last; ++index) {
            std::wstring text = screen.row(index);
            const auto end = text.find_last_not_of(L' ');
            text.erase(end == std::wstring::npos ? 0 : end + 1);
            rows.push_back(std::move(text));
        }
        return rows;
    }

    void settle(std::chrono::milliseconds limit) {
        if (!pump.joinable()) return;
        std::unique_lock<std::mutex> lock(mutex);
        const std::uint64_t generation = ++settleRequested;
        lock.unlock();
        wake();
        lock.lock();
        settled.wait_for(lock, limit, [&] { return settleDone >= generation; });
    }

private:
    void wake() {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    }

    // Reads everything the master holds now; false once the master can no longer be read.
    bool drain() {
        char chunk[16384];
        for (;;) {
            const ssize_t got = read(master, chunk, sizeof chunk);
            if (got > 0) {
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    screen.write(chunk, static_cast<std::size_t>(got));
                }
                echo(chunk, static_cast<std::size_t>(got));
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            // EAGAIN: nothing more for now (the read has also flushed the terminal's queue).
            // EIO: no slave is open; cannot happen while we hold one, but do not spin on it.
            return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
    }

    void echo(const char* bytes, std::size_t size) {
        if (echoFd < 0) return;
        while (size > 0) {
            const ssize_t written = ::write(echoFd, bytes, size);
            if (written > 0) {
                bytes += written;
                size -= static_cast<std::size_t>(written);
            } else if (written < 0 && errno == EINTR) {
                continue;
            } else {
                return;  // full or gone: the echo is only a courtesy
            }
        }
    }

    // Runs for the life of the process.
    void pumpLoop() {
        bool readable = true;
        for (;;) {
            std::uint64_t requested;
            {
                std::lock_guard<std::mutex> lock(mutex);
                requested = settleRequested;
            }
            readable = readable && drain();
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (requested > settleDone) settleDone = requested;
            }
            settled.notify_all();

            pollfd fds[2] = {{master, static_cast<short>(readable ? POLLIN : 0), 0},
                             {wakePipe[0], POLLIN, 0}};
            if (poll(fds, 2, 200) > 0 && (fds[1].revents & POLLIN)) {
                char sink[64];
                while (read(wakePipe[0], sink, sizeof sink) > 0) {
                }
            }
        }
    }

    int master = -1;
    int slave = -1;
    int openError = 0;
    int wakePipe[2] = {-1, -1};
    int echoFd = -1;

    std::mutex mutex;  // guards the members below
    TerminalScreen screen;
    std::uint64_t settleRequested = 0;
    std::uint64_t settleDone = 0;
    std::condition_variable settled;

    std::thread pump;
};

// Never destroyed: a worker may still be collecting a stopping converter (and read the
// console) while the process exits; the pump ends with the process.
PseudoTerminalConsole& theConsole() {
    static PseudoTerminalConsole* console = new PseudoTerminalConsole();
    return *console;
}

}  // namespace

int consoleTerminalFd(int* error) { return theConsole().terminal(error); }

ConsoleRowRead readConsoleCursorRow(std::size_t count) {
    return theConsole().readCursorRow(count);
}

std::uint64_t consoleCursorRow() { return theConsole().cursorRow(); }

std::vector<std::wstring> consoleRowsFrom(std::uint64_t firstRow, std::size_t maxRows) {
    return theConsole().rowsFrom(firstRow, maxRows);
}

void settleConsole(std::chrono::milliseconds limit) { theConsole().settle(limit); }

}  // namespace kalo::platform
