#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/user_setting.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class Profile : public testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::temp_directory_path() /
               ("kalo-profile-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(root);
        folder = root / "本地 数据" / "kalo-converter";  // created by the profile itself
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    std::filesystem::path file() const { return folder / "KALO_profiles.json"; }
    void writeFile(const std::string& text) {
        std::filesystem::create_directories(folder);
        std::ofstream(file(), std::ios::binary) << text;
    }
    std::string readFile() const {
        std::ifstream in(file(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int option(UserSetting& profile, int kind) {
        return profile.getOption(UserSetting::sectionName, kind);
    }

    std::filesystem::path root, folder;
};

TEST_F(Profile, DefaultContentWhenFileIsMissingMalformedOrEmpty) {
    struct Case {
        const char* name;
        const char* content;  // nullptr: no file
        const char* printed;
    } cases[] = {
        {"missing", nullptr, ""},
        {"malformed", "{\"PARAM_USER_SETTING\": ", "get erroo :"},
        {"empty object", "{}", "Successfully read file:"},
        {"empty array", "[]", "Successfully read file:"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(root);
        if (c.content) writeFile(c.content);
        CaptureStdout();
        {
            UserSetting profile(folder);
            for (int kind = 0; kind < 3; ++kind) EXPECT_EQ(option(profile, kind), 0) << c.name;
        }
        const std::string out = GetCapturedStdout();
        if (*c.printed) EXPECT_NE(out.find(c.printed), std::string::npos) << c.name << ": " << out;
        else EXPECT_EQ(out, "") << c.name;
        EXPECT_EQ(readFile(),
                  R"({"PARAM_USER_SETTING":{"Filter_option":0,"Output_option":0,"Setting_option":0}})")
            << c.name;
    }
}

TEST_F(Profile, WritesCompactSortedDocumentWithoutTrailingLineBreak) {
    {
        UserSetting profile(folder);
        profile.setOption(UserSetting::sectionName, 0, 3);
        profile.setOption(UserSetting::sectionName, 1, 1);
        profile.setOption(UserSetting::sectionName, 2, 4);
    }
    EXPECT_EQ(readFile(),
              R"({"PARAM_USER_SETTING":{"Filter_option":3,"Output_option":4,"Setting_option":1}})");
    UserSetting again(folder);
    EXPECT_EQ(option(again, 0), 3);
    EXPECT_EQ(option(again, 1), 1);
    EXPECT_EQ(option(again, 2), 4);
}

TEST_F(Profile, MissingKeyReadsZeroWithATypeErrorAndIsWrittenAsNull) {
    writeFile(R"({"PARAM_USER_SETTING":{"Filter_option":10}})");
    CaptureStdout();
    {
        UserSetting profile(folder);
        EXPECT_EQ(option(profile, 0), 10);
        EXPECT_EQ(option(profile, 2), 0);
    }
    EXPECT_NE(GetCapturedStdout().find("type must be number, but is null"), std::string::npos);
    EXPECT_EQ(readFile(), R"({"PARAM_USER_SETTING":{"Filter_option":10,"Output_option":null}})");
}

TEST_F(Profile, SectionOfTheWrongKindIsReportedNotThrown) {
    writeFile(R"({"PARAM_USER_SETTING": 5})");
    CaptureStdout();
    UserSetting profile(folder);
    profile.setOption(UserSetting::sectionName, 0, 2);
    EXPECT_EQ(option(profile, 0), 0);
    EXPECT_NE(GetCapturedStdout().find("cannot use operator[]"), std::string::npos);
}

TEST_F(Profile, FailedWriteLeavesThePreviousProfileIntact) {
    const std::string previous =
        R"({"PARAM_USER_SETTING":{"Filter_option":7,"Output_option":1,"Setting_option":2}})";
    writeFile(previous);
    // The temporary file the profile writes first cannot be created: the write fails part
    // way, as a kill or a full disk would make it, and must not touch the real file.
    std::filesystem::create_directories(folder / "KALO_profiles.json.tmp" / "blocker");
    CaptureStdout();
    {
        UserSetting profile(folder);
        profile.setOption(UserSetting::sectionName, 0, 9);
    }
    EXPECT_FALSE(GetCapturedStdout().empty());
    EXPECT_EQ(readFile(), previous);
}

TEST_F(Profile, UnwritableFolderOnlyLosesTheProfile) {
    std::filesystem::create_directories(root);
    std::ofstream(root / "本地 数据") << "a file where the folder should be";
    CaptureStdout();
    {
        UserSetting profile(folder);
        EXPECT_EQ(option(profile, 1), 0);
    }
    EXPECT_FALSE(GetCapturedStdout().empty());  // the write failure is printed
    EXPECT_FALSE(std::filesystem::exists(file()));
}

}  // namespace
