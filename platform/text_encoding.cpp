#include "platform/text_encoding.h"

#include <codecvt>
#include <locale>
#include <type_traits>

// std::wstring_convert is deprecated but still the standard library's only UTF-8 <->
// wide converter; its messages ("bad conversion") are part of what users see in logs.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

namespace kalo {
namespace {

using WideFacet = std::conditional_t<sizeof(wchar_t) == 2,
                                     std::codecvt_utf8_utf16<wchar_t>,
                                     std::codecvt_utf8<wchar_t>>;

std::wstring_convert<WideFacet, wchar_t>& converter() {
    thread_local std::wstring_convert<WideFacet, wchar_t> instance;
    return instance;
}

}  // namespace

std::wstring utf8ToWide(const std::string& text) { return converter().from_bytes(text); }

std::string wideToUtf8(const std::wstring& text) { return converter().to_bytes(text); }

std::filesystem::path pathFromUtf8(const std::string& text) {
    if constexpr (sizeof(wchar_t) == 2) {
        return std::filesystem::path(utf8ToWide(text));
    } else {
        return std::filesystem::path(text);  // POSIX paths are bytes; ours are UTF-8
    }
}

std::string pathToUtf8(const std::filesystem::path& path) {
    if constexpr (sizeof(wchar_t) == 2) {
        return wideToUtf8(path.wstring());
    } else {
        return path.string();
    }
}

}  // namespace kalo
