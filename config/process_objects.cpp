// The process-wide configuration objects. They live in one translation unit so that they
// are constructed in this order before main runs (each may rely on the ones above it) and
// destroyed in reverse order after it returns; destroying the profile writes it to disk.
#include <memory>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "config/user_setting.h"

namespace {

std::shared_ptr<JSONBase> createUiConfig() {
    auto config = std::shared_ptr<JSONBase>(new JSONBase());
    config->load(L"kalo_conv_UI.json", true);
    return config;
}

}  // namespace

std::shared_ptr<JSONBase> uiConfig = createUiConfig();
std::shared_ptr<UserSetting> userSetting = std::shared_ptr<UserSetting>(new UserSetting());

std::vector<StringPair> modeTable;
std::vector<std::wstring> modeKeys;
std::vector<std::wstring> resolutionTable;
std::vector<std::wstring> bitrateTable;
std::vector<std::wstring> depthLevelTable;
std::vector<StringPair> filterTable;
std::vector<OutputChoice> outputTable;
std::vector<StringPair> extensionTable;

namespace {
const bool startupTablesBuilt = (buildStartupOptionTables(), true);
}  // namespace
