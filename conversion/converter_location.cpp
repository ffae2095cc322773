#include "conversion/converter_location.h"

#include <SDL.h>

#include <cstdlib>

#include "config/json_base.h"
#include "platform/process.h"
#include "platform/text_encoding.h"

const char* const converterEnvironmentVariable = "KALO_CONVERTER";
const char* const converterConfigurationKey = "KALO_CONVERTER";

std::filesystem::path applicationDirectory() {
    std::error_code error;
    if (char* base = SDL_GetBasePath()) {
        std::filesystem::path folder = kalo::pathFromUtf8(base);
        SDL_free(base);
        return folder;
    }
    return std::filesystem::current_path(error);
}

ConverterLocation findConverter() {
    std::error_code error;
    if (const char* fromEnvironment = std::getenv(converterEnvironmentVariable);
        fromEnvironment && *fromEnvironment) {
        return {std::filesystem::absolute(kalo::pathFromUtf8(fromEnvironment), error),
                std::string("environment variable ") + converterEnvironmentVariable};
    }
    const std::string configured =
        uiConfig ? uiConfig->getString("PARAM_OTHER", converterConfigurationKey) : std::string();
    if (!configured.empty()) {
        return {applicationDirectory() / kalo::pathFromUtf8(configured),
                std::string("UI document key ") + converterConfigurationKey};
    }
    return {applicationDirectory() / kalo::platform::executableFileName("kalo-depth"),
            "the application's folder"};
}
