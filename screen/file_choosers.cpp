#include "screen/file_choosers.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "platform/working_directory.h"
#include "player/ffmpeg_helper.h"
#include "scene/user_events.h"

namespace fs = std::filesystem;
using kalo::platform::FileDialogKind;
using kalo::platform::FileDialogRequest;
using kalo::platform::FileDialogResult;
using kalo::platform::FileDialogStatus;
using kalo::platform::MessageBoxKind;

namespace {

// A text of "PARAM_OTHER"; `fallback` when the document (an older override file, say)
// lacks the key.
std::string textOr(const char* key, const char* fallback) {
    if (!uiConfig) return fallback;
    const auto& document = uiConfig->document;
    const auto section = document.find("PARAM_OTHER");
    if (section == document.end() || !section->is_object()) return fallback;
    const auto value = section->find(key);
    if (value == section->end() || !value->is_string()) return fallback;
    std::string text = value->get<std::string>();
    return text.empty() ? std::string(fallback) : text;
}

fs::path toPath(const std::wstring& text) { return kalo::pathFromUtf8(kalo::wideToUtf8(text)); }
std::wstring fromPath(const fs::path& path) { return kalo::utf8ToWide(kalo::pathToUtf8(path)); }

void tellError(const std::string& title, const std::string& text) {
    std::printf("%s\n", text.c_str());
    kalo::platform::showSimpleMessageBox(MessageBoxKind::Error, title, text);
}

// The dialog's path; a dialog that could not be shown is told to the user.
std::wstring chosenPath(const FileDialogResult& result) {
    switch (result.status) {
        case FileDialogStatus::Chosen: return result.path;
        case FileDialogStatus::Cancelled: return {};
        case FileDialogStatus::Unavailable:
            std::printf("File dialog: %s\n", result.detail.c_str());
            kalo::platform::showSimpleMessageBox(
                MessageBoxKind::Error, textOr("KALO_ERROR", "错误"),
                textOr("KALO_NO_FILE_DIALOG",
                       "找不到文件对话框程序。请安装 \"zenity\" 软件包（例如: sudo apt install "
                       "zenity）。\n视频文件也可以直接拖放到窗口上。"));
            return {};
        case FileDialogStatus::Failed: break;
    }
    tellError(textOr("KALO_ERROR", "错误"),
              textOr("KALO_FILE_DIALOG_FAILED", "无法打开文件对话框: ") + result.detail);
    return {};
}

bool fileExists(const std::wstring& path) {
    std::error_code error;
    try {
        return fs::exists(toPath(path), error);
    } catch (const std::exception&) {
        return false;
    }
}

// Asked when the save dialog did not ask about this very name itself.
bool userAgreesToReplace(const std::wstring& path) {
    kalo::platform::MessageBoxRequest request;
    request.kind = MessageBoxKind::Warning;
    request.title = textOr("KALO_REPLACE_TITLE", "文件已存在");
    std::string name;
    try {
        name = kalo::wideToUtf8(path);
    } catch (const std::exception&) {
    }
    request.text = name + textOr("KALO_REPLACE_MESSAGE", " 已存在。要替换它吗?");
    kalo::platform::MessageBoxButton keep;
    keep.id = 0;
    keep.text = textOr("KALO_CANCEL", "取消");
    keep.escapeKeyDefault = true;
    kalo::platform::MessageBoxButton replace;
    replace.id = 1;
    replace.text = textOr("KALO_SURE", "确定");
    replace.returnKeyDefault = true;
    request.buttons = {keep, replace};
    return kalo::platform::showMessageBox(request) == 1;
}

std::string saveFilter() {
    std::string filter = "MP4 File(*.mp4)";
    filter.push_back('\0');
    filter += "*.mp4";
    filter.push_back('\0');
    filter.push_back('\0');
    return filter;
}

}  // namespace

std::wstring chooseSourceFile() {
    // Windows' dialog moves the working directory, and assets load by relative paths.
    std::wstring remembered;
    try {
        std::error_code error;
        const fs::path current = fs::current_path(error);
        if (!error) remembered = fromPath(current);
    } catch (const std::exception&) {
        remembered.clear();
    }
    FileDialogRequest request;
    request.kind = FileDialogKind::OpenFile;
    request.filter = buildFileDialogFilter();
    const std::wstring path = chosenPath(kalo::platform::showFileDialog(request));
    if (!path.empty() && !remembered.empty() &&
        !kalo::platform::setWorkingDirectory(remembered)) {
        // The chosen source is still good; only assets loaded later may be missing.
        std::printf("Working directory not restored (%s); using the chosen file anyway\n",
                    kalo::wideToUtf8(remembered).c_str());
    }
    return path;
}

std::wstring chooseOutputFile() {
    FileDialogRequest request;
    request.kind = FileDialogKind::SaveFile;
    request.filter = saveFilter();
    const FileDialogResult result = kalo::platform::showFileDialog(request);
    std::wstring path = chosenPath(result);
    if (!path.empty() && !result.overwriteConfirmed && fileExists(path) &&
        !userAgreesToReplace(path))
        path.clear();
    return path;
}

std::wstring chooseOutputFolder() {
    FileDialogRequest request;
    request.kind = FileDialogKind::ChooseFolder;
    return chosenPath(kalo::platform::showFileDialog(request));
}

std::wstring defaultOutputPath(const std::wstring& source, const std::wstring& output) {
    if (output.empty()) return output;
    try {
        fs::path result = toPath(output);
        const std::wstring name = fromPath(toPath(source).filename().stem()) + L"_SBS.mp4";
        result.replace_filename(toPath(name));
        return fromPath(result);
    } catch (const std::exception& error) {
        std::printf("No output name derived: %s\n", error.what());
        return output;
    }
}

void chooseSourceAction(const std::shared_ptr<WindowsManager>& record) {
    const std::wstring path = chooseSourceFile();
    JobSnapshot snapshot = record->snapshot();
    if (!path.empty()) {
        snapshot.input = path;
        record->command = COMMAND_OPEN_SOURCE;
        pushUserEvent(EVT_SOURCE_LOADED);
    } else {
        record->command = COMMAND_NOTHING;
    }
    record->update(snapshot);
}

void openChosenSource(const std::shared_ptr<WindowsManager>& record,
                      const std::shared_ptr<FFmpegHelper>& engine, SDL_Renderer* renderer,
                      const JobSnapshot& before) {
    JobSnapshot snapshot = record->snapshot();
    const bool newSource = record->command == COMMAND_OPEN_SOURCE && !snapshot.input.empty();
    if (newSource && engine) {
        int opened = FFmpegHelper::openFailed;
        try {
            opened = engine->open(kalo::wideToUtf8(snapshot.input), renderer);
        } catch (const std::exception& error) {
            std::printf("Source not opened: %s\n", error.what());
        }
        engine->paused = true;
        if (opened == 0) {
            snapshot.depthLevelIndex = engine->portrait ? 1 : 0;
        } else {
            // Like a dropped file the engine cannot read: the record keeps what it had.
            std::printf("Source not opened (%d)\n", opened);
            kalo::platform::showSimpleMessageBox(MessageBoxKind::Error,
                                                 textOr("KALO_LOADFILEINTO_NOTE", "发生错误"),
                                                 textOr("KALO_LOADFILEINTO_FAIL", "初始化失败了"));
            // (With no earlier source the record cannot be emptied; the command then
            // keeps the unreadable one from being opened again.)
            record->command = COMMAND_NOTHING;
            snapshot.input = before.input;
            snapshot.output = before.output;
            snapshot.depthLevelIndex = before.depthLevelIndex;
            record->update(snapshot);
            SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
            return;
        }
    }
    // An output already chosen keeps its folder and takes the new source's name; a
    // cancelled chooser leaves the output as the user set it.
    if (newSource && !snapshot.output.empty())
        snapshot.output = defaultOutputPath(snapshot.input, snapshot.output);
    record->update(snapshot);
    SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
}

void openSourceAction(const std::shared_ptr<WindowsManager>& record,
                      const std::shared_ptr<FFmpegHelper>& engine, SDL_Renderer* renderer) {
    const JobSnapshot before = record->snapshot();
    chooseSourceAction(record);
    openChosenSource(record, engine, renderer, before);
}
