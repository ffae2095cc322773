// The converter's Windows command string against Windows' own splitter: what
// CommandLineToArgvW makes of the string is the argument list the converter must receive,
// and the converter's splitter agrees with it.
#include <windows.h>
#include <shellapi.h>

#include "config/option_tables.h"
#include "conversion/converter_command_line.h"
#include "converter/cli/windows_command_line.h"
#include "platform/text_encoding.h"
#include "windows_test_support.h"

namespace {

std::vector<std::wstring> windowsSplit(const std::wstring& commandString) {
    // A program-name token first, as CreateProcessW's callers' lines have one.
    const std::wstring line = L"kalo-depth.exe" + commandString;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> result;
    if (!words) return result;
    for (int i = 1; i < count; ++i) result.emplace_back(words[i]);
    LocalFree(words);
    return result;
}

TEST(WindowsCommandString, BothWorkedExamplesSplitIntoTheArgumentListOnWindows) {
    refreshOptionTables();
    JobSnapshot first;
    first.input = L"C:\\v\\a.mp4";
    first.output = L"C:\\v\\a_SBS.mp4";
    JobSnapshot second = first;
    second.filterIndex = second.modeIndex = second.resolutionIndex = second.bitrateIndex =
        second.depthLevelIndex = 1;
    for (const JobSnapshot& job : {first, second}) {
        const ConverterCommandLine line = buildConverterCommandLine(job, "C:/Apps/Tool");
        const std::wstring text = line.windowsCommandString();
        EXPECT_EQ(windowsSplit(text), line.values()) << kalo::wideToUtf8(text);

        std::vector<std::string> converterSplit =
            kalo::converter::splitWindowsCommandLine(kalo::wideToUtf8(text));
        ASSERT_FALSE(converterSplit.empty());
        EXPECT_EQ(converterSplit.front(), "");  // no program-name token
        converterSplit.erase(converterSplit.begin());
        std::vector<std::string> expected;
        for (const std::wstring& value : line.values()) expected.push_back(kalo::wideToUtf8(value));
        EXPECT_EQ(converterSplit, expected);
    }
}

}  // namespace
