// The options of the `depth` filter ("outputmode=sbs:mode=portrait:dl=25").
#include <cstddef>
#include <cstdint>
#include <string>

#include "converter/depth/depth_stage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kalo::depth::DepthFilterOptions options;
    std::string error;
    (void)kalo::depth::parseDepthFilterOptions(std::string(reinterpret_cast<const char*>(data), size), options, error);
    return 0;
}
