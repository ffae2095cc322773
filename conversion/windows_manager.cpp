#include "conversion/windows_manager.h"

#include <cstddef>

#include "config/option_tables.h"
#include "config/process_order.h"

namespace {

template <typename Table>
bool within(int index, const Table& table, int lowest = 0) {
    return index >= lowest && (index < 0 || static_cast<std::size_t>(index) < table.size());
}

}  // namespace

bool isValidJobSnapshot(const JobSnapshot& snapshot) {
    return !snapshot.input.empty() && within(snapshot.modeIndex, modeKeys) &&
           within(snapshot.resolutionIndex, resolutionTable) &&
           within(snapshot.bitrateIndex, bitrateTable) &&
           within(snapshot.depthLevelIndex, depthLevelTable) &&
           within(snapshot.filterIndex, filterTable, -1);
}

bool WindowsManager::update(const JobSnapshot& snapshot) {
    if (!isValidJobSnapshot(snapshot)) return false;
    input = snapshot.input;
    output = snapshot.output;
    modeIndex = snapshot.modeIndex;
    resolutionIndex = snapshot.resolutionIndex;
    bitrateIndex = snapshot.bitrateIndex;
    filterIndex = snapshot.filterIndex;
    depthLevelIndex = snapshot.depthLevelIndex;
    return true;
}

JobSnapshot WindowsManager::snapshot() const {
    JobSnapshot copy;
    copy.input = input;
    copy.output = output;
    copy.modeIndex = modeIndex;
    copy.resolutionIndex = resolutionIndex;
    copy.bitrateIndex = bitrateIndex;
    copy.filterIndex = filterIndex;
    copy.depthLevelIndex = depthLevelIndex;
    return copy;
}

std::shared_ptr<WindowsManager> windowsManager KALO_PROCESS_OBJECT(KALO_RANK_JOB_RECORD) =
    std::shared_ptr<WindowsManager>(new WindowsManager());
