#pragma once
// A folder of its own for one test, in the temporary folder, removed with everything in it
// when the object goes away.
#include <filesystem>
#include <string>

namespace kalo::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / std::filesystem::u8path(name); }

private:
    std::filesystem::path path_;
};

}  // namespace kalo::test
