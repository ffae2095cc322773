#pragma once
// Makes standard error print UTF-8 text correctly (file names in messages); on Windows it
// also keeps "\n" from becoming "\r\n" twice over in the in-place status line.
namespace kalo::converter {

void prepareConsoleOutput();

}  // namespace kalo::converter
