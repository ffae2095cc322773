#include "conversion/converter_error_line.h"

#include <exception>

#include "platform/text_encoding.h"

std::string converterErrorLine(const std::vector<std::wstring>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const auto first = row->find_first_not_of(L" \t");
        if (first == std::wstring::npos) continue;
        if (row->compare(first, 6, L"frame=") == 0) continue;
        const auto last = row->find_last_not_of(L" \t");
        try {
            return kalo::wideToUtf8(row->substr(first, last - first + 1));
        } catch (const std::exception&) {
            return "?";  // undecodable console text
        }
    }
    return std::string();
}
