#pragma once
// The line that explains why a converter failed, picked from the console rows it wrote.
#include <string>
#include <vector>

// The last row that is neither blank nor a "frame=" status line, as UTF-8; empty when
// there is none.
std::string converterErrorLine(const std::vector<std::wstring>& rows);
