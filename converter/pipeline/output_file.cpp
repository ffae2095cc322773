#include "converter/pipeline/output_file.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace kalo::converter {
namespace fs = std::filesystem;

namespace {

fs::path pathOf(const std::string& utf8) { return fs::u8path(utf8); }

std::string randomTag() {
    std::random_device device;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(device()));
    return text;
}

}  // namespace

bool checkOutputTarget(const std::string& target, const std::string& input, const OutputTargetRules& rules,
                       std::string& error) {
    if (target == "-" || target.rfind("pipe:", 0) == 0) {
        error = "Writing to a pipe is not supported: name an output file.";
        return false;
    }
    std::error_code ec;
    const fs::path path = pathOf(target);
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) {
        error = "'" + target + "' is a folder; name an output file.";
        return false;
    }
    if (!fs::exists(status)) {
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
        if (!fs::is_directory(folder, ec)) {
            error = "Cannot write '" + target + "': its folder does not exist.";
            return false;
        }
        return true;
    }
    if (fs::equivalent(path, pathOf(input), ec)) {
        error = "The output '" + target + "' is the input file; choose another name.";
        return false;
    }
    if (rules.neverOverwrite || !rules.overwrite) {
        error = "File '" + target + "' already exists" +
                (rules.neverOverwrite ? std::string(" (-n given).") : std::string("; use -y to overwrite it."));
        return false;
    }
    return true;
}

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {
    const fs::path path = pathOf(target_);
    fs::path temporary = path;
    temporary += fs::u8path("." + randomTag() + ".kalo-part");
    temporary_ = temporary.u8string();
}

OutputFile::~OutputFile() {
    if (!done_) discard();
}

bool OutputFile::commit(std::string& error) {
    std::error_code ec;
    fs::rename(pathOf(temporary_), pathOf(target_), ec);
    if (ec) {
        error = "Cannot move the finished file to '" + target_ + "': " + ec.message();
        discard();
        return false;
    }
    done_ = true;
    return true;
}

void OutputFile::discard() {
    std::error_code ec;
    fs::remove(pathOf(temporary_), ec);
    done_ = true;
}

}  // namespace kalo::converter
