// The console screen model fed with whatever a converter might print, in two pieces (a
// sequence may be cut between two reads of the pseudo-terminal), then read back.
#include <cstddef>
#include <cstdint>

#include "platform/posix/terminal_screen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kalo::platform::TerminalScreen screen(4, 48);
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    screen.write(reinterpret_cast<const char*>(data), cut);
    screen.write(reinterpret_cast<const char*>(data) + cut, size - cut);
    const std::uint64_t row = screen.cursorRow();
    for (std::uint64_t r = row > 5 ? row - 5 : 0; r <= row + 1; ++r) (void)screen.row(r);
    return 0;
}
