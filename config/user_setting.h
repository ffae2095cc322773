#pragma once
// The user profile: the last choice of each pull-down of the option bar, kept as option
// indices in "KALO_profiles.json" under the per-user local data folder. Read once at
// start-up, changed in memory, written once when the object is destroyed.
#include <filesystem>
#include <memory>
#include <string>

#include "config/json_base.h"

class UserSetting : public JSONBase {
public:
    // Profile in <local data folder>/kalo-converter/KALO_profiles.json.
    UserSetting();
    // Profile in <folder>/KALO_profiles.json (the folder is created when missing).
    explicit UserSetting(const std::filesystem::path& folder);
    ~UserSetting();

    UserSetting(const UserSetting&) = delete;
    UserSetting& operator=(const UserSetting&) = delete;

    // kind 0 filter, 1 3D mode, 2 output; other kinds use the empty key.
    int getOption(std::string section, int kind);
    void setOption(std::string section, int kind, int value);
    // Writes the whole document compactly. The file is replaced atomically: a temporary
    // file beside it is written, flushed and renamed, so a kill never leaves it half written.
    void save();

    const std::string& path() const { return profilePath; }

    static const char* const defaultProfileText;
    static const char* const sectionName;  // "PARAM_USER_SETTING"

private:
    std::string profilePath;  // UTF-8
};

extern std::shared_ptr<UserSetting> userSetting;
