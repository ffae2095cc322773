// The Win32 services the application meets at start-up: its embedded UI document, its
// own path, the per-user data folder, the working directory, and file identity (which
// keeps a job from writing over its source).
#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/embedded_document.h"
#include "platform/executable_path.h"
#include "platform/file_identity.h"
#include "platform/local_data_folder.h"
#include "platform/working_directory.h"
#include "windows_test_support.h"

namespace {

using kalo::wintest::TemporaryFolder;
namespace fs = std::filesystem;

TEST(EmbeddedUiDocument, IsResourceJson104HoldingTheDocumentByteForByteAndParses) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(self, MAKEINTRESOURCEW(104), L"JSON");
    ASSERT_NE(resource, nullptr) << "no resource of type \"JSON\" with id 104";

    const std::string source =
        kalo::wintest::readWholeFile(fs::path(KALO_SOURCE_DIR) / "config/resources/kalo_conv_UI.json");
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(SizeofResource(self, resource), source.size());

    const std::string embedded = kalo::platform::embeddedUiDocument();
    EXPECT_EQ(embedded, source);  // nothing appended, in particular no "\0" text
    nlohmann::json document;
    ASSERT_NO_THROW(document = nlohmann::json::parse(embedded));
    EXPECT_TRUE(document.is_object());
    EXPECT_EQ(document.at("PARAM_OTHER").at("defaultWindowSizeX").get<int>(), 1152);
}

TEST(ExecutablePath, IsThisProgramWhateverTheCommandLineSaid) {
    const fs::path self = kalo::platform::executablePath();
    EXPECT_EQ(self.filename(), "test_windows.exe");
    EXPECT_TRUE(fs::is_regular_file(self));
    EXPECT_EQ(kalo::platform::executableDirectory(), self.parent_path());
}

TEST(LocalDataFolder, IsTheUsersLocalAppDataFolder) {
    PWSTR known = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known), S_OK);
    const fs::path expected(known);
    CoTaskMemFree(known);

    const fs::path folder = kalo::platform::localDataFolder();
    EXPECT_EQ(folder, expected);
    EXPECT_TRUE(fs::is_directory(folder));
    wchar_t variable[32768];
    if (GetEnvironmentVariableW(L"LOCALAPPDATA", variable, 32768) > 0) {
        EXPECT_TRUE(fs::equivalent(folder, fs::path(variable)));
    }
}

using WorkingDirectory = TemporaryFolder;

TEST_F(WorkingDirectory, TakesEitherSeparatorAndAnyNameAndRefusesAMissingFolder) {
    const fs::path previous = fs::current_path();
    const fs::path named = folder / L"\u89c6\u9891 folder";  // "视频 folder"
    fs::create_directories(named);
    struct Case {
        std::wstring path;
        fs::path expected;
    };
    std::wstring forward = folder.wstring();
    for (auto& c : forward) if (c == L'\\') c = L'/';
    const Case cases[] = {
        {folder.wstring(), folder},
        {forward, folder},
        {named.wstring(), named},
        {folder.wstring() + L"\\.\\", folder},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(kalo::platform::setWorkingDirectory(c.path)) << fs::path(c.path).u8string();
        EXPECT_TRUE(fs::equivalent(fs::current_path(), c.expected)) << fs::path(c.path).u8string();
    }
    const fs::path before = fs::current_path();
    EXPECT_FALSE(kalo::platform::setWorkingDirectory((folder / L"missing").wstring()));
    EXPECT_EQ(fs::current_path(), before);
    fs::current_path(previous);
}

using FileIdentity = TemporaryFolder;

TEST_F(FileIdentity, SameFileThroughCaseDotsAndSeparatorsDifferentFilesDiffer) {
    fs::create_directories(folder / "Sub");
    std::ofstream(folder / "Sub" / "Clip.mp4") << "a";
    std::ofstream(folder / "Sub" / "Other.mp4") << "b";
    const fs::path clip = folder / "Sub" / "Clip.mp4";
    struct Case {
        fs::path first, second;
        bool same;
    };
    const Case cases[] = {
        {clip, folder / "SUB" / "clip.MP4", true},
        {clip, folder / "Sub" / ".." / "Sub" / "Clip.mp4", true},
        {clip, fs::path(folder.wstring() + L"/Sub/Clip.mp4"), true},
        {clip, folder / "Sub" / "Other.mp4", false},
        // A target that does not exist yet: compared by name, without regard to case.
        {folder / "Sub" / "New.mp4", folder / "sub" / "NEW.mp4", true},
        {folder / "Sub" / "New.mp4", folder / "Sub" / "New2.mp4", false},
        {clip, folder / "Sub" / "Clip.mp4.part", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kalo::platform::namesSameFile(c.first, c.second), c.same)
            << c.first.u8string() << " vs " << c.second.u8string();
    }
}

}  // namespace
