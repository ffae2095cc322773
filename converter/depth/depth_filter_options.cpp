// Option text of the `depth` filter: "key=value" pairs separated by ':'.
//   outputmode=sbs|depth        side-by-side pair (default) or the depth map as grey picture
//   mode=portrait|landscape     close-up or distant scene prior; absent: mixed scenes
//   dl=N                        strength, the largest parallax: see stereo_geometry.h for the
//                               unit (thousandths of the picture width) and range 0..100
// A later key repeats an earlier one and wins, as in FFmpeg's own option strings.
#include "converter/depth/depth_stage.h"
#include "converter/depth/stereo_geometry.h"

namespace kalo::depth {
namespace {

bool parseStrength(const std::string& value, int& strength) {
    if (value.empty() || value.size() > 3) return false;
    int number = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (number < kMinStrength || number > kMaxStrength) return false;
    strength = number;
    return true;
}

bool applyOption(const std::string& key, const std::string& value, DepthFilterOptions& options,
                 std::string& error) {
    if (key == "outputmode") {
        if (value == "sbs") {
            options.outputMode = OutputMode::SideBySide;
        } else if (value == "depth") {
            options.outputMode = OutputMode::DepthMap;
        } else {
            error = "depth: invalid outputmode '" + value + "' (expected sbs or depth)";
            return false;
        }
        return true;
    }
    if (key == "mode") {
        if (value == "portrait") {
            options.scenePrior = ScenePrior::Portrait;
        } else if (value == "landscape") {
            options.scenePrior = ScenePrior::Landscape;
        } else {
            error = "depth: invalid mode '" + value + "' (expected portrait or landscape)";
            return false;
        }
        return true;
    }
    if (key == "dl") {
        if (!parseStrength(value, options.strength)) {
            error = "depth: invalid dl '" + value + "' (expected a whole number from " +
                    std::to_string(kMinStrength) + " to " + std::to_string(kMaxStrength) + ")";
            return false;
        }
        return true;
    }
    error = "depth: unknown option '" + key + "' (known: outputmode, mode, dl)";
    return false;
}

}  // namespace

bool parseDepthFilterOptions(const std::string& text, DepthFilterOptions& options,
                             std::string& error) {
    DepthFilterOptions parsed;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(':', start);
        if (end == std::string::npos) end = text.size();
        const std::string pair = text.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (pair.empty() || equals == std::string::npos || equals == 0) {
            error = "depth: malformed option '" + pair + "' (expected key=value)";
            return false;
        }
        if (!applyOption(pair.substr(0, equals), pair.substr(equals + 1), parsed, error)) {
            return false;
        }
        start = end + 1;
        if (end + 1 == text.size()) {
            error = "depth: malformed option text '" + text + "' (ends with ':')";
            return false;
        }
    }
    options = parsed;
    return true;
}

}  // namespace kalo::depth
