#pragma once
// What kalo-depth's exit status means.
namespace kalo::converter {

constexpr int kExitSuccess = 0;  // the whole input was converted (also when a stop came after it was read)
constexpr int kExitFailure = 1;  // bad arguments, unreadable input, any failure (one line says why)
// Stopped by a signal or console event: the file so far is finished (or, after a third
// request, the process left at once and the target is as it was).
constexpr int kExitStopped = 255;

}  // namespace kalo::converter
