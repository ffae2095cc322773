#pragma once
// The one conversion job record of the program: source, output and the option indices into
// the conversion option tables. It is changed only through update(), which validates a whole
// snapshot; readers work on snapshots, never on the shared record.
#include <memory>
#include <string>

// A plain copy of everything a conversion needs.
struct JobSnapshot {
    std::wstring input;
    std::wstring output;
    int modeIndex = 0;        // into modeKeys
    int resolutionIndex = 0;  // into resolutionTable
    int bitrateIndex = 0;     // into bitrateTable
    int filterIndex = -1;     // into filterTable; -1 and 0 both mean no colour filter
    int depthLevelIndex = 0;  // into depthLevelTable
};

// What the last file or convert action asked for.
enum JobCommand : int {
    COMMAND_OPEN_SOURCE = 0,
    COMMAND_CONVERT = 1,
    COMMAND_NOTHING = 2,
};

class WindowsManager {
public:
    int command = COMMAND_OPEN_SOURCE;
    std::wstring input;
    std::wstring output;
    int modeIndex = 0;
    int resolutionIndex = 0;
    int bitrateIndex = 0;
    int filterIndex = -1;
    int depthLevelIndex = 0;

    // Accepts a snapshot whose input is not empty and whose indices all lie within their
    // tables; then copies it in and returns true. Otherwise nothing changes. Never touches
    // `command`.
    bool update(const JobSnapshot& snapshot);
    JobSnapshot snapshot() const;
};

// True when every index of the snapshot lies within its table and the input is set.
bool isValidJobSnapshot(const JobSnapshot& snapshot);

// The process-wide record, created before main with both paths empty.
extern std::shared_ptr<WindowsManager> windowsManager;
