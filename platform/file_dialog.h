#pragma once
// The system's own file dialogs: choose a file to open, a file to save, or a folder.
// Windows: the common dialogs. POSIX: zenity, else kdialog, run as a child with an argument
// list. The dialogs are modal and run on the main thread; this seam lets tests answer them
// from a script instead of waiting for a person.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kalo::platform {

enum class FileDialogKind { OpenFile, SaveFile, ChooseFolder };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::OpenFile;
    // Open and save: description and pattern pairs, each ended by a NUL byte, the whole
    // ended by one more NUL (the common dialogs' format; UTF-8). Patterns are "*.ext"
    // separated by ';'. The first pair is selected at start.
    std::string filter;
};

enum class FileDialogStatus {
    Chosen,       // `path` holds the choice
    Cancelled,    // the user closed the dialog without a choice
    Unavailable,  // no dialog program exists on this system
    Failed,       // the dialog could not be shown or ended with an error; see `detail`
};

struct FileDialogResult {
    FileDialogStatus status = FileDialogStatus::Cancelled;
    // The chosen path. Save: ".mp4" appended when the name had no extension and the first
    // filter was selected. Folder: ends with the native separator.
    std::wstring path;
    // Save: the extension was added after the dialog closed.
    bool extensionAdded = false;
    // Save: the dialog itself asked before choosing an existing `path` (not so when the
    // extension was added afterwards, or when the dialog program does not ask).
    bool overwriteConfirmed = false;
    std::string detail;  // UTF-8; why the dialog failed
};

// Shows the dialog and waits for it.
FileDialogResult showFileDialog(const FileDialogRequest& request);

// Replaces the system dialogs with `handler`; an empty handler restores them. Returns the
// handler it replaced.
using FileDialogHandler = std::function<FileDialogResult(const FileDialogRequest&)>;
FileDialogHandler setFileDialogHandler(FileDialogHandler handler);

// The next dialog starts in the user's Videos folder (else the home folder) again, as the
// first one of a session does; later ones start where the last choice was made.
void forgetFileDialogFolder();

// --- Shared by the implementations ----------------------------------------------------

struct FileDialogFilterEntry {
    std::string description;            // UTF-8
    std::vector<std::string> patterns;  // "*.mp4", ...
};

// The entries of a filter in the format above; an entry without a pattern is dropped.
std::vector<FileDialogFilterEntry> parseFileDialogFilter(const std::string& filter);

// True when the last component of `path` (after the last '/' or '\\') has an extension:
// a '.' that is neither its first nor its last character.
bool hasFileExtension(const std::wstring& path);

// The system dialogs themselves (per OS).
FileDialogResult showSystemFileDialog(const FileDialogRequest& request);

}  // namespace kalo::platform
