#include "config/user_setting.h"

#include <fstream>
#include <iostream>
#include <system_error>

#include "platform/text_encoding.h"
#include "platform/local_data_folder.h"

const char* const UserSetting::defaultProfileText =
    "{\n\t\"PARAM_USER_SETTING\": {\n\t\t\"Filter_option\": 0,\n\t\t\"Setting_option\": 0,"
    "\n\t\t\"Output_option\": 0\n\t}\n}";
const char* const UserSetting::sectionName = "PARAM_USER_SETTING";

namespace {

const char* optionKey(int kind) {
    switch (kind) {
        case 0: return "Filter_option";
        case 1: return "Setting_option";
        case 2: return "Output_option";
        default: return "";
    }
}

}  // namespace

UserSetting::UserSetting()
    : UserSetting(kalo::platform::localDataFolder() / "kalo-converter") {}

UserSetting::UserSetting(const std::filesystem::path& folder) {
    // The folder may not exist on a first start; without it the profile could never be
    // written. A folder that cannot be created only costs the profile.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    profilePath = kalo::pathToUtf8(folder / "KALO_profiles.json");

    load(kalo::utf8ToWide(profilePath), false);
    const bool empty = document.is_null() || (document.is_object() && document.empty()) ||
                       (document.is_array() && document.empty());
    if (empty) document = nlohmann::json::parse(defaultProfileText);
}

UserSetting::~UserSetting() { save(); }

int UserSetting::getOption(std::string section, int kind) {
    try {
        return document[section][optionKey(kind)].get<int>();
    } catch (const std::exception& error) {
        std::cout << error.what() << std::endl;
    }
    return 0;
}

void UserSetting::setOption(std::string section, int kind, int value) {
    try {
        document[section][optionKey(kind)] = value;
    } catch (const std::exception& error) {
        std::cout << error.what() << std::endl;
    }
}

void UserSetting::save() {
    const std::filesystem::path target = kalo::pathFromUtf8(profilePath);
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    try {
        const std::string text = document.dump();  // compact, keys in byte order
        {
            std::ofstream out;
            out.exceptions(std::ios::failbit | std::ios::badbit);
            out.open(temporary, std::ios::binary | std::ios::trunc);
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            out.flush();
        }
        std::filesystem::rename(temporary, target);
    } catch (const std::exception& error) {
        std::cout << error.what() << std::endl;
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
}
