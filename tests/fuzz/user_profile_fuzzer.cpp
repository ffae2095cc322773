// The user profile file as it may be found on disk: read, its three options looked up and
// changed, and written back when the object goes.
#include <cstddef>
#include <cstdint>

#include "config/user_setting.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path folder = kalo::fuzz::privateFolder() / "profile";
    std::filesystem::create_directories(folder);
    kalo::fuzz::writeInput(folder / "KALO_profiles.json", data, size);
    UserSetting profile(folder);
    for (int kind = 0; kind < 4; ++kind) {
        const int value = profile.getOption(UserSetting::sectionName, kind);
        profile.setOption(UserSetting::sectionName, kind, value + 1);
    }
    return 0;
}
