#pragma once
// Shortens a folder path for the one-line output folder label: a path longer than the
// label holds is shown as "... " followed by its last characters.
#include <string>

// Keeps the last `maxUnits` UTF-16 code units of the path (rebuilt with the native
// separator), never splitting a character in two. Returns UTF-8; an unconvertible path
// yields an empty text.
std::string elidePath(const std::wstring& path, int maxUnits);

// The same with the label's length from the configuration: an eighth of the height of
// "boxsize" in section PARAM_OUTPUTFILE (166 gives 20).
std::string elidePath(const std::wstring& path);

// The label length elidePath uses by default.
int elidedPathLength();
