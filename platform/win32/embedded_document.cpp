#include "platform/embedded_document.h"

#include <windows.h>

#include <cstring>

namespace kalo::platform {

// The document is resource 104 of type "JSON" (packaging/windows/kalo-converter.rc.in).
// The resource's size bounds the text, so the document needs no terminating NUL; a NUL
// inside it would end the text there.
std::string embeddedUiDocument() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(104), L"JSON");
    if (!resource) return std::string();
    const DWORD size = SizeofResource(module, resource);
    if (size == 0) return std::string();
    HGLOBAL handle = LoadResource(module, resource);
    if (!handle) return std::string();
    const char* bytes = static_cast<const char*>(LockResource(handle));
    if (!bytes) return std::string();
    return std::string(bytes, strnlen(bytes, size));
}

}  // namespace kalo::platform
