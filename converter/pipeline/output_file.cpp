#include "converter/pipeline/output_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <random>

extern "C" {
#include <libavformat/avio.h>
}

#include "converter/cli/converter_options.h"
#include "converter/console/console_log.h"
#include "converter/platform/file_identity.h"
#include "converter/platform/file_permissions.h"
#include "converter/platform/partial_file.h"
#include "converter/platform/stop_requests.h"

namespace kalo::converter {
namespace fs = std::filesystem;

namespace {

// The longest file name (one path component) the common file systems take: 255 bytes on
// Linux and the BSDs, 255 UTF-16 units on NTFS. Counted in the OS's own units.
constexpr size_t kFileNameLimit = 255;
constexpr const char* kTemporaryExtension = ".kalo-part";
// "." + process id (up to 10 digits) + "-" + 8 hex digits + the extension.
constexpr size_t kTemporarySuffixLimit = 1 + 10 + 1 + 8 + 10;
constexpr int kLinkHopLimit = 40;  // as the kernel's own limit for nested links

fs::path pathOf(const std::string& utf8) { return fs::u8path(utf8); }

size_t nativeLength(const std::string& utf8) { return pathOf(utf8).native().size(); }

std::string randomTag() {
    std::random_device device;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(device()));
    return text;
}

// The part of every temporary name of this target before the writer's process id.
std::string temporaryPrefix(const std::string& fileName) {
    std::string prefix = fileName;
    while (!prefix.empty() && nativeLength(prefix) + kTemporarySuffixLimit > kFileNameLimit) {
        prefix.pop_back();
        // Never cut a UTF-8 sequence in two.
        while (!prefix.empty() && (static_cast<unsigned char>(prefix.back()) & 0xC0) == 0x80) prefix.pop_back();
        if (!prefix.empty() && (static_cast<unsigned char>(prefix.back()) & 0xC0) == 0xC0) prefix.pop_back();
    }
    return prefix + ".";
}

// The writer's process id in a temporary name of the target with `prefix`, or -1 when the
// name is something else.
long writerOfTemporary(const std::string& name, const std::string& prefix) {
    const std::string extension = kTemporaryExtension;
    if (name.size() <= prefix.size() + extension.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return -1;
    const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - extension.size());
    const size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string::npos || dash > 10 || middle.size() - dash - 1 != 8) return -1;
    for (size_t i = 0; i < middle.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(middle[i]);
        if (i == dash) continue;
        if (i < dash ? !std::isdigit(c) : !std::isxdigit(c)) return -1;
    }
    return std::stol(middle.substr(0, dash));
}

fs::path folderOf(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

}  // namespace

bool outputFileName(const std::string& target, std::string& file, std::string& error) {
    if (target == "-" || target.rfind("pipe:", 0) == 0) {
        error = "Writing to a pipe is not supported: name an output file.";
        return false;
    }
    const char* protocol = avio_find_protocol_name(target.c_str());
    if (protocol && std::string(protocol) != "file") {
        error = "Cannot write '" + target + "': only local files can be written (this names the '" + protocol +
                "' protocol).";
        return false;
    }
    file = target.rfind("file:", 0) == 0 ? target.substr(5) : target;
    if (file.empty()) {
        error = "'" + target + "' names no file; name an output file.";
        return false;
    }
    return true;
}

std::string fileBehindLinks(const std::string& file) {
    fs::path path = pathOf(file);
    std::error_code ec;
    for (int hop = 0; hop < kLinkHopLimit && fs::is_symlink(fs::symlink_status(path, ec)); ++hop) {
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) break;
        path = next.is_absolute() ? next : folderOf(path) / next;
    }
    return path.u8string();
}

bool checkOutputTarget(const std::string& file, const OutputTargetRules& rules, std::string& error) {
    std::error_code ec;
    const fs::path path = pathOf(fileBehindLinks(file));
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) {
        error = "'" + file + "' is a folder; name an output file.";
        return false;
    }
    if (nativeLength(path.filename().u8string()) > kFileNameLimit) {
        error = "Cannot write '" + file + "': File name too long";
        return false;
    }
    const fs::path folder = folderOf(path);
    std::string reason;
    if (!fs::exists(status)) {
        if (!fs::is_directory(folder, ec)) {
            error = "Cannot write '" + file + "': its folder does not exist.";
            return false;
        }
        if (!userMayWrite(folder.u8string(), reason)) {
            error = "Cannot write '" + file + "': " + reason;
            return false;
        }
        return true;
    }
    if (rules.neverOverwrite || !rules.overwrite) {
        error = "File '" + file + "' already exists" +
                (rules.neverOverwrite ? std::string(" (-n given).") : std::string("; use -y to overwrite it."));
        return false;
    }
    if (!userMayWrite(path.u8string(), reason)) {
        error = "Cannot overwrite '" + file + "': " + reason;
        return false;
    }
    // The result is made beside the file and renamed over it, which needs the folder.
    if (!userMayWrite(folder.u8string(), reason)) {
        error = "Cannot overwrite '" + file + "': no file can be made in its folder (" + reason + ")";
        return false;
    }
    return true;
}

bool checkOutputIsNotRead(const std::string& file, std::string& error) {
    const std::optional<FileIdentity> output = identityOfFile(file);
    if (!output) return true;
    const std::vector<FileIdentity> reading = filesOpenForReading();
    if (std::find(reading.begin(), reading.end(), *output) == reading.end()) return true;
    error = "The output '" + file + "' is the input file (or a file it reads); choose another name.";
    return false;
}

std::string temporaryFileName(const std::string& fileName, long processId, const std::string& tag) {
    return temporaryPrefix(fileName) + std::to_string(processId) + "-" + tag + kTemporaryExtension;
}

OutputFile::OutputFile(std::string file) : file_(std::move(file)), claim_(std::make_unique<PartialFileClaim>()) {
    destination_ = fileBehindLinks(file_);
}

OutputFile::~OutputFile() {
    if (!done_) discard();
}

void OutputFile::removeAbandonedTemporaries() {
    const fs::path destination = pathOf(destination_);
    const std::string prefix = temporaryPrefix(destination.filename().u8string());
    std::error_code ec;
    for (fs::directory_iterator entry(folderOf(destination), ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string name = entry->path().filename().u8string();
        const long writer = writerOfTemporary(name, prefix);
        if (writer <= 0 || !entry->is_regular_file(ec)) continue;
        if (!partialFileIsAbandoned(entry->path().u8string(), writer)) continue;
        std::error_code removed;
        const fs::path shown = destination.has_parent_path() ? destination.parent_path() / pathOf(name) : pathOf(name);
        if (fs::remove(entry->path(), removed))
            consoleLog().message(kLogInfo, "Removed '" + shown.u8string() + "', left by an earlier run that did not finish.");
    }
}

bool OutputFile::create(std::string& error) {
    removeAbandonedTemporaries();
    const fs::path destination = pathOf(destination_);
    const std::string name = temporaryFileName(destination.filename().u8string(), currentProcessId(), randomTag());
    temporary_ = (destination.has_parent_path() ? destination.parent_path() / pathOf(name) : pathOf(name)).u8string();
    std::string reason;
    if (!claim_->create(temporary_, reason)) {
        error = "Cannot create '" + temporary_ + "' beside the output: " + reason;
        temporary_.clear();
        return false;
    }
    done_ = false;
    setUnfinishedFile(temporary_);
    return true;
}

bool OutputFile::commit(std::string& error) {
    std::error_code ec;
    if (fs::exists(pathOf(destination_), ec)) copyPermissions(destination_, temporary_);
    claim_->release();
    fs::rename(pathOf(temporary_), pathOf(destination_), ec);
    if (ec) {
        error = "Cannot move the finished file to '" + file_ + "': " + ec.message();
        discard();
        return false;
    }
    done_ = true;
    setUnfinishedFile("");
    return true;
}

void OutputFile::discard() {
    claim_->release();
    if (!temporary_.empty()) {
        std::error_code ec;
        fs::remove(pathOf(temporary_), ec);
    }
    done_ = true;
    setUnfinishedFile("");
}

}  // namespace kalo::converter
