#pragma once
// The POSIX side of the console service: the pseudo-terminal whose slave end child
// processes get as their standard streams.
namespace kalo::platform {

// The slave end of the console pseudo-terminal (close-on-exec; duplicate it into a child),
// created with its pump on first use; -1 when no pseudo-terminal could be opened, *error
// then holding the OS's error number.
int consoleTerminalFd(int* error);

}  // namespace kalo::platform
