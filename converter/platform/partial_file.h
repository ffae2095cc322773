#pragma once
// The temporary file a run writes before it renames the finished result over the target.
// The run holds its temporary claimed while it lives, so that a later run can tell the
// temporary of a dead run (killed, power cut), which it may remove, from one that another
// run is still writing, which it must leave alone.
#include <cstdint>
#include <string>

namespace kalo::converter {

class PartialFileClaim {
public:
    PartialFileClaim() = default;
    ~PartialFileClaim();  // releases the claim; never removes the file
    PartialFileClaim(const PartialFileClaim&) = delete;
    PartialFileClaim& operator=(const PartialFileClaim&) = delete;

    // Creates `path` (UTF-8), which must not exist yet, with the permissions any new file
    // of the user gets, and claims it. Returns false with the system's reason.
    bool create(const std::string& path, std::string& error);

    // Gives the claim up (before the file is renamed: Windows cannot rename an open file).
    void release();

private:
    std::intptr_t handle_ = -1;
};

// This process's id, as it goes into the temporary's name.
long currentProcessId();

// True when `path` is a temporary that process `writerId` wrote and that no live process
// holds claimed: its writer has ended without finishing it.
bool partialFileIsAbandoned(const std::string& path, long writerId);

}  // namespace kalo::converter
