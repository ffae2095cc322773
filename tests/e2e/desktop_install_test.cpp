// The application installed on a Linux desktop: `cmake --install` lays out the programs,
// their run-time folders and a desktop entry, and the entry's command line, run as "Open
// with" runs it from some other folder, opens the video as the source.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "child_process.h"
#include "e2e_fixture.h"

namespace kalo::e2e {
namespace {

namespace fs = std::filesystem;

class DesktopInstall : public EndToEnd {};

std::map<std::string, std::string> desktopEntry(const fs::path& file) {
    std::ifstream in(file);
    std::map<std::string, std::string> keys;
    bool inMainGroup = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '[') inMainGroup = line == "[Desktop Entry]";
        const std::size_t equals = line.find('=');
        if (inMainGroup && equals != std::string::npos && line[0] != '#') {
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return keys;
}

std::set<std::string> listOf(const std::string& value) {
    std::set<std::string> items;
    std::istringstream parts(value);
    for (std::string item; std::getline(parts, item, ';');) {
        if (!item.empty()) items.insert(item);
    }
    return items;
}

// The desktop's own MIME database: the types whose glob is "*<extension>".
std::set<std::string> typesOfExtension(const std::string& extension) {
    std::ifstream in("/usr/share/mime/globs2");
    std::set<std::string> types;
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        if (line.substr(second + 1) == "*" + extension) types.insert(line.substr(first + 1, second - first - 1));
    }
    return types;
}

// The Exec value split into words (double quotes group a word) with the file field code
// replaced by `file`, as a desktop does for "Open with".
std::vector<std::string> commandFor(const std::string& exec, const std::string& file, bool& hadFieldCode) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (const char c : exec) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    hadFieldCode = false;
    for (std::string& w : words) {
        if (w == "%f" || w == "%F" || w == "%u" || w == "%U") {
            w = file;
            hadFieldCode = true;
        }
    }
    return words;
}

TEST_F(DesktopInstall, EntryCommandLineOpensTheVideoFromAnyFolder) {
    // Staged under DESTDIR first, so that nothing can land outside the test's folder: every
    // file must fall under the prefix, then the staged tree moves to its place.
    const fs::path prefix = root / "prefix";
    const fs::path stage = root / "stage";
    const test::ProcessResult installed =
        test::runProcess({"env", "DESTDIR=" + stage.string(), "cmake", "--install", KALO_BUILD_ROOT, "--prefix",
                          prefix.string()},
                         root, std::chrono::seconds(120));
    ASSERT_TRUE(installed.exited && installed.exitCode == 0) << installed.out << installed.err;
    const fs::path stagedPrefix = stage / prefix.relative_path();
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(stage)) {
        if (file.is_directory()) continue;
        const std::string path = file.path().string();
        EXPECT_EQ(path.rfind(stagedPrefix.string() + "/", 0), 0u)
            << "installed outside the prefix: " << path.substr(stage.string().size());
    }
    ASSERT_TRUE(fs::is_directory(stagedPrefix));
    fs::rename(stagedPrefix, prefix);

    const fs::path programFolder = prefix / "lib" / "kalo-converter";
    for (const char* program : {"kalo-converter", "kalo-depth"}) {
        EXPECT_EQ(access((programFolder / program).c_str(), X_OK), 0) << programFolder / program;
        EXPECT_EQ(access((prefix / "bin" / program).c_str(), X_OK), 0) << prefix / "bin" / program;
    }
    for (const char* folder : {"image", "font", "filter", "icon"}) {
        EXPECT_TRUE(fs::is_directory(programFolder / folder) && !fs::is_empty(programFolder / folder))
            << programFolder / folder;
    }

    const fs::path entryFile = prefix / "share" / "applications" / "kalo-converter.desktop";
    ASSERT_TRUE(fs::exists(entryFile));
    const std::map<std::string, std::string> entry = desktopEntry(entryFile);
    const auto value = [&](const std::string& key) { return entry.count(key) ? entry.at(key) : std::string(); };
    EXPECT_EQ(value("Type"), "Application");
    EXPECT_FALSE(value("Name").empty());
    EXPECT_EQ(listOf(value("Categories")).count("Video"), 1u) << value("Categories");

    // Every accepted extension of the UI document has one of its MIME types in the entry.
    std::ifstream document(fs::path(KALO_SOURCE_DIR) / "config" / "resources" / "kalo_conv_UI.json");
    const nlohmann::json ui = nlohmann::json::parse(document);
    const std::set<std::string> mimeTypes = listOf(value("MimeType"));
    ASSERT_TRUE(fs::exists("/usr/share/mime/globs2")) << "the desktop's MIME database is missing";
    for (const nlohmann::json& format : ui.at("PARAM_EXT").at("array")) {
        const std::string extension = format.at("ext");
        const std::set<std::string> types = typesOfExtension(extension);
        bool listed = false;
        for (const std::string& type : types) listed = listed || mimeTypes.count(type) > 0;
        EXPECT_TRUE(listed) << extension << " is not among " << value("MimeType");
    }

    // The icon the entry names is installed in a theme folder (or named by its path).
    const std::string icon = value("Icon");
    ASSERT_FALSE(icon.empty());
    bool iconFound = fs::path(icon).is_absolute() && fs::exists(icon);
    for (const fs::path& folder : {prefix / "share" / "icons", prefix / "share" / "pixmaps"}) {
        if (!fs::exists(folder)) continue;
        for (const fs::directory_entry& file : fs::recursive_directory_iterator(folder)) {
            iconFound = iconFound || file.path().stem() == icon;
        }
    }
    EXPECT_TRUE(iconFound) << "no icon file for \"" << icon << "\"";

    // "Open with": the entry's command with the video's full path, started elsewhere.
    const fs::path video = root / fs::u8path("视频 收藏") / "open with.mp4";
    ASSERT_EQ(makeClip("视频 收藏/open with.mp4", 2.0), video);
    bool hadFieldCode = false;
    std::vector<std::string> command = commandFor(value("Exec"), video.u8string(), hadFieldCode);
    ASSERT_FALSE(command.empty()) << "no Exec line";
    EXPECT_TRUE(hadFieldCode) << "Exec has no file field code: " << value("Exec");
    fs::path program = command.front();
    if (!program.is_absolute()) program = prefix / "bin" / program;  // found through PATH
    ASSERT_EQ(program.string().rfind(prefix.string() + "/", 0), 0u)
        << "Exec names " << program << ", not the program installed under " << prefix;
    const fs::path elsewhere = root / "elsewhere";
    fs::create_directories(elsewhere);
    ASSERT_TRUE(startApp({program, elsewhere, std::vector<std::string>(command.begin() + 1, command.end()),
                          {{"PATH", (prefix / "bin").string() + ":" + dialog->programFolder().string() + ":" +
                                        std::getenv("PATH")}}}));
    ASSERT_TRUE(waitForThumbnail()) << "the video given on the command line was not opened";
    ASSERT_TRUE(quitWithEscape());
}

}  // namespace
}  // namespace kalo::e2e
