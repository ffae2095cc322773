#pragma once
// Splitting one Windows command line into arguments, as the Microsoft C runtime does it.
// Pure text work, so it is tested everywhere; the Windows build uses it on
// GetCommandLineW() (converted to UTF-8).
#include <string>
#include <vector>

namespace kalo::converter {

// Returns the program-name token first (empty when the line starts with a blank, as the
// application's lines do), then every argument. Rules:
//  - the program name ends at the first blank outside double quotes; quotes are dropped,
//    backslashes are plain characters;
//  - arguments are separated by blanks or tabs outside double quotes;
//  - 2n backslashes before a double quote give n backslashes and the quote toggles
//    quoting; 2n+1 backslashes before a quote give n backslashes and a literal quote;
//  - backslashes not followed by a quote stay as they are (so "C\\:/x" keeps both);
//  - inside quotes, two double quotes give one literal quote.
std::vector<std::string> splitWindowsCommandLine(const std::string& line);

}  // namespace kalo::converter
