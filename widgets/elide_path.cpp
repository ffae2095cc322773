#include "widgets/elide_path.h"

#include <cstdio>
#include <cwchar>
#include <exception>
#include <filesystem>

#include "config/json_base.h"
#include "platform/text_encoding.h"

namespace {

// Code units a character of a wide string takes in UTF-16.
bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
int utf16Units(wchar_t c) {
#if WCHAR_MAX > 0xFFFF
    return c > 0xFFFF ? 2 : 1;
#else
    (void)c;
    return 1;  // wide strings are UTF-16 already
#endif
}

std::wstring rebuiltWithNativeSeparator(const std::wstring& path) {
    const std::filesystem::path original = kalo::pathFromUtf8(kalo::wideToUtf8(path));
    std::filesystem::path rebuilt;
    for (const auto& component : original) rebuilt /= component;
    rebuilt.make_preferred();
    return kalo::utf8ToWide(kalo::pathToUtf8(rebuilt));
}

}  // namespace

int elidedPathLength() {
    const int boxHeight = uiConfig ? uiConfig->getPoint("PARAM_OUTPUTFILE", "boxsize").y : 0;
    return static_cast<int>(static_cast<float>(boxHeight) * 0.125f);
}

std::string elidePath(const std::wstring& path, int maxUnits) {
    try {
        const std::wstring s = rebuiltWithNativeSeparator(path);
        int units = 0;
        for (const wchar_t c : s) units += utf16Units(c);
        if (units <= maxUnits) return kalo::wideToUtf8(s);

        // Walk back from the end while whole characters still fit.
        size_t begin = s.size();
        int kept = 0;
        while (begin > 0) {
            size_t first = begin - 1;
            int width = utf16Units(s[first]);
            if (sizeof(wchar_t) == 2 && isLowSurrogate(s[first]) && first > 0) {
                --first;  // a surrogate pair is one character
                width = 2;
            }
            if (kept + width > maxUnits) break;
            kept += width;
            begin = first;
        }
        return "... " + kalo::wideToUtf8(s.substr(begin));
    } catch (const std::exception& error) {
        std::printf("path not shown: %s\n", error.what());
        return {};
    }
}

std::string elidePath(const std::wstring& path) { return elidePath(path, elidedPathLength()); }
