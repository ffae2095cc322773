#include "media_fixtures.h"

#include <fstream>

namespace kalo::test {
namespace fs = std::filesystem;

std::string kaloDepth() { return std::string(KALO_BIN_DIR) + "/kalo-depth"; }

std::vector<std::string> applicationCommand(const fs::path& input, const fs::path& output,
                                            const std::string& filtersBeforeDepth, const std::string& scale) {
    std::string chain = "depth=outputmode=sbs:dl=25,scale=" + scale;
    if (!filtersBeforeDepth.empty()) chain = filtersBeforeDepth + "," + chain;
    std::vector<std::string> command = {kaloDepth(), "-i", input.u8string(), "-vf", chain, "-c:v", "libx264",
                                        "-profile:v", "baseline", "-b:v", "10M"};
    if (!filtersBeforeDepth.empty()) {
        command.push_back("-pix_fmt");
        command.push_back("yuv420p");
    }
    command.push_back("-y");
    command.push_back(output.u8string());
    return command;
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string lastLine(const std::string& err) {
    std::string text = err;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const size_t start = text.find_last_of("\n\r");
    return start == std::string::npos ? text : text.substr(start + 1);
}

int temporaryFilesIn(const fs::path& folder) {
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.path().u8string().find(".kalo-part") != std::string::npos) ++count;
    return count;
}

}  // namespace kalo::test
