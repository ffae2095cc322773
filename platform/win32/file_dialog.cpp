// The common dialogs of Windows. Paths stay UTF-16 from the dialog to the caller: nothing
// here narrows them to the system code page, which cannot hold every file name.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "platform/file_dialog.h"
#include "platform/text_encoding.h"

namespace kalo::platform {
namespace {

constexpr DWORD fileBufferLength = 520;

std::string hexCode(DWORD code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04lX", static_cast<unsigned long>(code));
    return text;
}

// The dialog returned no file: a cancel when the dialog reports no error.
FileDialogResult noChoice(const char* dialog) {
    FileDialogResult result;
    const DWORD error = CommDlgExtendedError();
    if (error != 0) {
        result.status = FileDialogStatus::Failed;
        result.detail = std::string(dialog) + " failed with common dialog error " + hexCode(error);
    }
    return result;
}

// The filter as the dialogs take it (the NUL bytes that separate the entries convert one to
// one); false, with the failure to return, when it is not valid UTF-8.
bool wideFilter(const std::string& filter, std::wstring& wide, FileDialogResult& failure) {
    try {
        wide = utf8ToWide(filter);
        return true;
    } catch (const std::exception& error) {
        failure.status = FileDialogStatus::Failed;
        failure.detail = std::string("file filter is not valid UTF-8: ") + error.what();
        return false;
    }
}

FileDialogResult openFile(const FileDialogRequest& request) {
    std::wstring filter;
    FileDialogResult failure;
    if (!wideFilter(request.filter, filter, failure)) return failure;
    wchar_t file[fileBufferLength] = {0};
    OPENFILENAMEW dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileBufferLength;
    dialog.lpstrFileTitle = nullptr;
    dialog.lpstrInitialDir = nullptr;
    dialog.lpstrTitle = nullptr;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameW(&dialog)) return noChoice("GetOpenFileNameW");
    FileDialogResult result;
    result.status = FileDialogStatus::Chosen;
    result.path = file;
    return result;
}

FileDialogResult saveFile(const FileDialogRequest& request) {
    std::wstring filter;
    FileDialogResult failure;
    if (!wideFilter(request.filter, filter, failure)) return failure;
    wchar_t file[fileBufferLength] = {0};
    OPENFILENAMEW dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileBufferLength;
    dialog.lpstrDefExt = nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog)) return noChoice("GetSaveFileNameW");

    FileDialogResult result;
    result.status = FileDialogStatus::Chosen;
    result.path = file;
    result.overwriteConfirmed = true;
    // The extension of the first (and only) filter when none was typed.
    const auto entries = parseFileDialogFilter(request.filter);
    if (dialog.nFilterIndex == 1 && !entries.empty() && !hasFileExtension(result.path)) {
        const std::string& pattern = entries.front().patterns.front();
        if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0) {
            result.path += utf8ToWide(pattern.substr(1));
            result.extensionAdded = true;
            result.overwriteConfirmed = false;  // the dialog asked about the name typed
        }
    }
    return result;
}

FileDialogResult chooseFolder() {
    // The folder browser is a shell object: it needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOW browse;
    ZeroMemory(&browse, sizeof browse);
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    FileDialogResult result;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen) {
        wchar_t folder[MAX_PATH] = {0};
        if (SHGetPathFromIDListW(chosen, folder)) {
            result.status = FileDialogStatus::Chosen;
            result.path = folder;
            if (result.path.empty() || result.path.back() != L'\\') result.path.push_back(L'\\');
        } else {
            result.status = FileDialogStatus::Failed;
            result.detail = "the chosen folder is not a file system folder";
        }
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

}  // namespace

FileDialogResult showSystemFileDialog(const FileDialogRequest& request) {
    switch (request.kind) {
        case FileDialogKind::OpenFile: return openFile(request);
        case FileDialogKind::SaveFile: return saveFile(request);
        case FileDialogKind::ChooseFolder: break;
    }
    return chooseFolder();
}

// The common dialogs remember the last folder themselves.
void forgetFileDialogFolder() {}

}  // namespace kalo::platform
