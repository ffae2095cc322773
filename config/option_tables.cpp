#include "config/option_tables.h"

#include <cctype>
#include <filesystem>

#include "config/json_base.h"
#include "platform/text_encoding.h"

std::vector<std::wstring> readStringList(const std::string& key) {
    std::vector<std::wstring> list;
    const nlohmann::json array = uiConfig->getArray("PARAM_CONVOPT", key);
    if (array.is_null()) return list;
    for (const auto& element : array) list.push_back(kalo::utf8ToWide(element.get<std::string>()));
    return list;
}

std::vector<StringPair> readPairList(const std::string& section, const std::string& arrayKey,
                                     const std::string& first, const std::string& second) {
    std::vector<StringPair> list;
    const nlohmann::json array = uiConfig->getArray(section, arrayKey);
    if (array.is_null()) return list;
    for (const auto& element : array) {
        list.emplace_back(element.at(first).get<std::string>(),
                          element.at(second).get<std::string>());
    }
    return list;
}

std::vector<StringPair> readFilterList() {
    return readPairList("PARAM_CONVOPT", "filter", "file", "name");
}

std::vector<OutputChoice> readOutputList() {
    std::vector<OutputChoice> list;
    const nlohmann::json array = uiConfig->getArray("PARAM_MOD", "array");
    if (array.is_null()) return list;
    for (const auto& element : array) {
        OutputChoice choice;
        choice.name = kalo::utf8ToWide(element.at("name").get<std::string>());
        const auto& key = element.at("key");
        choice.resolutionIndex = key.at("v1").get<int>();
        choice.bitrateIndex = key.at("v2").get<int>();
        list.push_back(choice);
    }
    return list;
}

void buildStartupOptionTables() {
    modeTable = readPairList("PARAM_CONVOPT", "mode", "name", "key");
    modeKeys.clear();
    for (const auto& row : modeTable) modeKeys.push_back(kalo::utf8ToWide(row.second));
    resolutionTable = readStringList("resolution");
    bitrateTable = readStringList("bitrate");
    depthLevelTable = readStringList("depthlv");
}

void refreshOptionTables() {
    filterTable = readFilterList();
    modeTable = readPairList("PARAM_CONVOPT", "mode", "name", "key");
    extensionTable = readPairList("PARAM_EXT", "array", "name", "ext");
    outputTable = readOutputList();
}

std::string buildFileDialogFilter() {
    std::string filter = uiConfig->getString("PARAM_EXT", "topmsg");
    filter.push_back('\0');
    for (const auto& row : extensionTable) filter += "*" + row.second + ";";
    filter.pop_back();  // the last ';', or with no formats the NUL just written
    filter.push_back('\0');
    for (const auto& row : extensionTable) {
        filter += row.first + "(*" + row.second + ")";
        filter.push_back('\0');
        filter += "*" + row.second;
        filter.push_back('\0');
    }
    filter.push_back('\0');
    return filter;
}

bool isSupportedVideo(const std::wstring& path) {
    std::string extension;
    try {
        extension = kalo::pathToUtf8(
            kalo::pathFromUtf8(kalo::wideToUtf8(path)).extension());
    } catch (const std::exception&) {
        return false;  // not valid text: certainly not one of our names
    }
    if (extension.empty()) return false;
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& row : extensionTable) {
        if (row.second == extension) return true;
    }
    return false;
}
