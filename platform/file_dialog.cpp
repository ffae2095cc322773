#include "platform/file_dialog.h"

#include <mutex>

namespace kalo::platform {
namespace {

std::mutex handlerMutex;
FileDialogHandler scriptedHandler;

std::vector<std::string> splitPatterns(const std::string& text) {
    std::vector<std::string> patterns;
    std::string current;
    for (const char c : text) {
        if (c == ';' || c == ' ') {
            if (!current.empty()) patterns.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) patterns.push_back(current);
    return patterns;
}

}  // namespace

FileDialogResult showFileDialog(const FileDialogRequest& request) {
    FileDialogHandler handler;
    {
        std::lock_guard<std::mutex> lock(handlerMutex);
        handler = scriptedHandler;
    }
    return handler ? handler(request) : showSystemFileDialog(request);
}

FileDialogHandler setFileDialogHandler(FileDialogHandler handler) {
    std::lock_guard<std::mutex> lock(handlerMutex);
    FileDialogHandler previous = std::move(scriptedHandler);
    scriptedHandler = std::move(handler);
    return previous;
}

std::vector<FileDialogFilterEntry> parseFileDialogFilter(const std::string& filter) {
    // Split at NUL bytes; an empty piece (the double NUL) ends the list.
    std::vector<std::string> pieces;
    size_t begin = 0;
    while (begin < filter.size()) {
        const size_t end = filter.find('\0', begin);
        const std::string piece = filter.substr(begin, end == std::string::npos ? std::string::npos
                                                                                 : end - begin);
        if (piece.empty()) break;
        pieces.push_back(piece);
        if (end == std::string::npos) break;
        begin = end + 1;
    }
    std::vector<FileDialogFilterEntry> entries;
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
        FileDialogFilterEntry entry;
        entry.description = pieces[i];
        entry.patterns = splitPatterns(pieces[i + 1]);
        if (!entry.patterns.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

bool hasFileExtension(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"/\\");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    return dot != std::wstring::npos && dot != 0 && dot + 1 < name.size();
}

}  // namespace kalo::platform
