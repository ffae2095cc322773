#pragma once
// Where the output goes. The result is written to a temporary file beside the file the
// target names and renamed over it only when finished, so a failure never damages an
// existing file and leaves nothing behind; no file the conversion reads is ever the target.
#include <memory>
#include <string>

namespace kalo::converter {

class PartialFileClaim;

struct OutputTargetRules {
    bool overwrite = false;       // -y
    bool neverOverwrite = false;  // -n
};

// The local file an output name stands for: "file:" taken off, as FFmpeg's file protocol
// does. Pipes and other protocols ("http:", "tcp:", "async:"...) cannot take a file that is
// renamed into place: false with a one-line `error`.
bool outputFileName(const std::string& target, std::string& file, std::string& error);

// The file that writing to `file` changes: symbolic links followed to their end, so that a
// link is kept and the file it names is replaced.
std::string fileBehindLinks(const std::string& file);

// Checks `file` (from outputFileName) before anything is opened for writing: not a folder,
// a name the file system takes, an existing file only with -y and only when the user may
// write it, and a folder where the temporary file can be created.
bool checkOutputTarget(const std::string& file, const OutputTargetRules& rules, std::string& error);

// Refuses an output that is the same file as anything this process has open for reading
// (the input, whatever its spelling: protocol prefixes, "./", "../", links).
bool checkOutputIsNotRead(const std::string& file, std::string& error);

// The temporary file's name for an output file named `fileName` (no folder), written by
// process `processId`: within the file-name limit whatever the length of `fileName`, and
// recognisable for the next run to the same target.
std::string temporaryFileName(const std::string& fileName, long processId, const std::string& tag);

class OutputFile {
public:
    // `file`: the checked output file (from outputFileName).
    explicit OutputFile(std::string file);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Removes what dead runs to the same target left behind, then creates and claims the
    // temporary file. Returns false with a one-line `error`.
    bool create(std::string& error);

    const std::string& target() const { return file_; }
    const std::string& temporaryPath() const { return temporary_; }
    // The temporary as FFmpeg must be told it: a plain file, whatever its name contains.
    std::string temporaryUrl() const { return "file:" + temporary_; }

    // Renames the finished temporary file over the target, keeping the permissions of the
    // file it replaces.
    bool commit(std::string& error);

    // Removes the temporary file, if any.
    void discard();

private:
    void removeAbandonedTemporaries();

    std::string file_;
    std::string destination_;
    std::string temporary_;
    std::unique_ptr<PartialFileClaim> claim_;
    bool done_ = true;
};

}  // namespace kalo::converter
