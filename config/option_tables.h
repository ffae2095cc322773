#pragma once
// The conversion choices (filters, 3D modes, outputs) and the accepted video formats, as
// read from the UI document. A choice is identified everywhere by its index in its table.
#include <string>
#include <utility>
#include <vector>

struct OutputChoice {
    std::wstring name;
    int resolutionIndex = 0;  // into resolutionTable
    int bitrateIndex = 0;     // into bitrateTable
};

using StringPair = std::pair<std::string, std::string>;

// Built before main (in this order): modeTable, modeKeys, resolutionTable, bitrateTable,
// depthLevelTable. Built by refreshOptionTables (when the option bar is built): filterTable,
// modeTable again, extensionTable, outputTable.
extern std::vector<StringPair> modeTable;         // (name, key)
extern std::vector<std::wstring> modeKeys;        // key of each mode row
extern std::vector<std::wstring> resolutionTable;  // "1920:1080", ...
extern std::vector<std::wstring> bitrateTable;     // megabits per second, as text
extern std::vector<std::wstring> depthLevelTable;  // ":dl=25", ...
extern std::vector<StringPair> filterTable;        // (file, name)
extern std::vector<OutputChoice> outputTable;
extern std::vector<StringPair> extensionTable;     // (name, ext)

// Builders over uiConfig. A row of the wrong kind throws the JSON library's type error.
std::vector<std::wstring> readStringList(const std::string& key);  // in "PARAM_CONVOPT"
std::vector<StringPair> readPairList(const std::string& section, const std::string& arrayKey,
                                     const std::string& first, const std::string& second);
std::vector<StringPair> readFilterList();
std::vector<OutputChoice> readOutputList();

void buildStartupOptionTables();
void refreshOptionTables();

// The open-file dialog filter: description/pattern pairs separated by NUL bytes, the first
// pair covering every format, the whole ended by an extra NUL.
std::string buildFileDialogFilter();

// True when the path's extension (any letter case) is one of extensionTable's.
bool isSupportedVideo(const std::wstring& path);
