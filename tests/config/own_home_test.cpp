// Tests never touch the user's own files: each test program runs with HOME and the XDG
// folders in a fresh temporary folder, so the profile written at exit lands there.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/user_setting.h"

namespace fs = std::filesystem;

namespace {

fs::path variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? fs::path(value) : fs::path();
}

bool inside(const fs::path& path, const fs::path& folder) {
    const fs::path relative = fs::weakly_canonical(path).lexically_relative(fs::weakly_canonical(folder));
    return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

TEST(OwnHome, HomeAndXdgFoldersAreAFreshTemporaryFolder) {
    const fs::path home = variable("HOME");
    ASSERT_FALSE(home.empty()) << "HOME is not set";
    // The home lies in a folder made for this program alone, below the temporary folder.
    const fs::path own = home.parent_path();
    EXPECT_EQ(own.filename().string().rfind("kalo-test-home.", 0), 0u) << home;
    EXPECT_TRUE(inside(own, fs::temp_directory_path())) << own;
    EXPECT_TRUE(fs::is_directory(home)) << home;

    // Never the account's real home.
    if (const passwd* account = getpwuid(getuid()); account && account->pw_dir) {
        EXPECT_FALSE(inside(account->pw_dir, home)) << account->pw_dir << " is inside " << home;
    }

    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        const fs::path folder = variable(name);
        ASSERT_FALSE(folder.empty()) << name << " is not set";
        EXPECT_TRUE(inside(folder, home)) << name << "=" << folder;
        EXPECT_TRUE(fs::is_directory(folder)) << name << "=" << folder;
    }
}

TEST(OwnHome, TheProcessProfileIsWrittenInsideIt) {
    ASSERT_TRUE(userSetting);
    const fs::path profile = fs::u8path(userSetting->path());
    EXPECT_EQ(profile.filename(), "KALO_profiles.json");
    EXPECT_TRUE(inside(profile, variable("HOME"))) << profile;
}
