#include "converter/pipeline/output_container.h"

namespace kalo::converter {

const AVOutputFormat* chooseOutputContainer(const std::string& file, std::string& error) {
    const AVOutputFormat* container = av_guess_format(nullptr, file.c_str(), nullptr);
    if (container && container->name) {
        const std::string name = container->name;
        if (name == "mp4" || name == "matroska") return container;
    }
    error = "Cannot write '" + file + "': the output must be an MP4 (.mp4) or Matroska (.mkv) file.";
    return nullptr;
}

}  // namespace kalo::converter
