#pragma once
// What kalo-depth's exit status means.
namespace kalo::converter {

constexpr int kExitSuccess = 0;  // the whole input was converted
constexpr int kExitFailure = 1;  // bad arguments, unreadable input, any failure (one line says why)
constexpr int kExitStopped = 255;  // stopped by a signal or console event; the file so far is finished

}  // namespace kalo::converter
