#pragma once
// What the converter's end-to-end tests share beyond the test-support library: the path of
// kalo-depth, the command line the application writes, reading its last error line, and
// the temporary files a conversion may leave behind.
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "clip_factory.h"
#include "media_probe.h"
#include "scratch_folder.h"

namespace kalo::test {

std::string kaloDepth();

// The command line the application writes (POSIX argument list), with optional extra
// filters before depth and a chosen output size.
std::vector<std::string> applicationCommand(const std::filesystem::path& input, const std::filesystem::path& output,
                                            const std::string& filtersBeforeDepth = "",
                                            const std::string& scale = "1920:1080");

// Replaces the file's contents with `bytes`.
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

// The last line of standard error that is not the status row.
std::string lastLine(const std::string& err);

// Files a conversion may leave behind by mistake (temporary outputs) in `folder`.
int temporaryFilesIn(const std::filesystem::path& folder);

}  // namespace kalo::test
