#pragma once
// Which file a name or an open file is, whatever it is called. Protocol prefixes, "./",
// "../", links and hard links all reach the same identity (device and inode on POSIX,
// volume serial number and file index on Windows), so comparing identities tells whether
// two spellings are one file where comparing names cannot.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalo::converter {

struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity& other) const { return volume == other.volume && index == other.index; }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// The file `path` (UTF-8) names, links followed; nothing when it does not exist.
std::optional<FileIdentity> identityOfFile(const std::string& path);

// Every regular file this process holds open for reading right now: what the libraries
// opened for the input, whatever name and protocol they were given.
std::vector<FileIdentity> filesOpenForReading();

}  // namespace kalo::converter
