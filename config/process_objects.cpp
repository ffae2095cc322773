// The process-wide configuration objects. They live in one translation unit so that they
// are constructed in this order before main runs (each may rely on the ones above it) and
// destroyed in reverse order after it returns; destroying the profile writes it to disk.
#include <ios>
#include <memory>

#if defined(_MSC_VER)
#pragma init_seg(lib)
#endif

#include "config/json_base.h"
#include "config/option_tables.h"
#include "config/process_order.h"
#include "config/user_setting.h"

namespace {

std::shared_ptr<JSONBase> createUiConfig() {
    auto config = std::shared_ptr<JSONBase>(new JSONBase());
    config->load(L"kalo_conv_UI.json", true);
    return config;
}

// The objects below print while they are built and when the profile is written at exit.
const std::ios_base::Init standardStreams KALO_PROCESS_OBJECT(KALO_RANK_STANDARD_STREAMS);

}  // namespace

std::shared_ptr<JSONBase> uiConfig KALO_PROCESS_OBJECT(KALO_RANK_UI_CONFIG) = createUiConfig();
std::shared_ptr<UserSetting> userSetting KALO_PROCESS_OBJECT(KALO_RANK_PROFILE) =
    std::shared_ptr<UserSetting>(new UserSetting());

std::vector<StringPair> modeTable KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
std::vector<std::wstring> modeKeys KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
std::vector<std::wstring> resolutionTable KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
std::vector<std::wstring> bitrateTable KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
std::vector<std::wstring> depthLevelTable KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
std::vector<StringPair> filterTable KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
std::vector<OutputChoice> outputTable KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
std::vector<StringPair> extensionTable KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);

namespace {
struct StartupTables {
    StartupTables() { buildStartupOptionTables(); }
};
const StartupTables startupTablesBuilt KALO_PROCESS_OBJECT(KALO_RANK_OPTION_TABLES);
}  // namespace
