#include "media/av_error_text.h"

extern "C" {
#include <libavutil/error.h>
}

namespace kalo {

std::string avErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string failureText(int code, const std::string& libraryMessage) {
    return libraryMessage.empty() ? avErrorText(code) : libraryMessage;
}

}  // namespace kalo
