#include "scratch_folder.h"

#include <unistd.h>

#include <random>

namespace kalo::test {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("kalo-converter-test-" + std::to_string(getpid()) + "-" +
                                         std::to_string(random() % 1000000));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

}  // namespace kalo::test
