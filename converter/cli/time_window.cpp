#include <algorithm>

#include "converter/cli/converter_options.h"

namespace kalo::converter {

TimeWindow effectiveTimeWindow(const ConverterOptions& options) {
    TimeWindow window;
    const std::int64_t inputSeek = options.inputSeekUs.value_or(0);
    const std::int64_t outputSeek = options.outputSeekUs.value_or(0);
    window.startUs = inputSeek + outputSeek;
    if (options.inputDurationUs) window.durationUs = std::max<std::int64_t>(0, *options.inputDurationUs - outputSeek);
    if (options.outputDurationUs)
        window.durationUs = window.durationUs ? std::min(*window.durationUs, *options.outputDurationUs)
                                              : *options.outputDurationUs;
    return window;
}

}  // namespace kalo::converter
