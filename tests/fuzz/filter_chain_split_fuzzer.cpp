// The -vf chain cut at the `depth` filter, and the depth options it hands on.
#include <cstddef>
#include <cstdint>
#include <string>

#include "converter/depth/depth_stage.h"
#include "converter/filters/filter_chain_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string chain(reinterpret_cast<const char*>(data), size);
    kalo::converter::FilterChainSplit split;
    std::string error;
    if (kalo::converter::splitFilterChainAtDepth(chain, split, error) && split.hasDepth) {
        kalo::depth::DepthFilterOptions options;
        (void)kalo::depth::parseDepthFilterOptions(split.depthOptions, options, error);
    }
    return 0;
}
