#pragma once
// Where the output goes. The result is written to a temporary file beside the target and
// renamed over it only when finished, so a failure never damages an existing file and
// leaves nothing behind; a source file is never the target.
#include <string>

namespace kalo::converter {

struct OutputTargetRules {
    bool overwrite = false;       // -y
    bool neverOverwrite = false;  // -n
};

// Checks the target before anything is opened for writing: not "-" (a pipe), not a
// folder, not the input itself, and an existing file only with -y.
bool checkOutputTarget(const std::string& target, const std::string& input, const OutputTargetRules& rules,
                       std::string& error);

class OutputFile {
public:
    explicit OutputFile(std::string target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& target() const { return target_; }
    const std::string& temporaryPath() const { return temporary_; }

    // Renames the finished temporary file over the target.
    bool commit(std::string& error);

    // Removes the temporary file, if any.
    void discard();

private:
    std::string target_;
    std::string temporary_;
    bool done_ = false;
};

}  // namespace kalo::converter
