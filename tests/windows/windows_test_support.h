#pragma once
// What the Windows tests share: a fresh temporary folder per test, the programs they start,
// and a console to read.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace kalo::wintest {

// True under Wine, whose ntdll exports wine_get_version. Used only to word a skip where
// Wine lacks a call that Windows has; never to pass a check.
bool runningUnderWine();

// The Windows form (drive letter, backslashes) of a path the build wrote in its own form.
std::filesystem::path nativePath(const std::filesystem::path& path);

std::filesystem::path testBinDirectory();  // test_windows.exe and the child program
std::filesystem::path binDirectory();      // kalo-converter.exe, kalo-depth.exe, filter/ ...

// Waits up to `limit` for `file` to exist.
bool waitForFile(const std::filesystem::path& file, std::chrono::milliseconds limit);

std::string readWholeFile(const std::filesystem::path& file);

// Makes sure the process has a console screen buffer on standard output (under Wine a
// program whose output is a pipe has none): allocates one when missing. False with the
// reason in *why when none can be had.
bool ensureConsole(std::string* why);

class TemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path folder;
};

}  // namespace kalo::wintest
