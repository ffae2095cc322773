#pragma once
// Where the converter program is: the environment variable KALO_CONVERTER, else the key
// "KALO_CONVERTER" of section "PARAM_OTHER" of the UI document (relative to the
// application's folder), else "kalo-depth" beside the application's executable.
#include <filesystem>
#include <string>

struct ConverterLocation {
    std::filesystem::path path;
    std::string origin;  // where the path came from, for messages
};

extern const char* const converterEnvironmentVariable;  // "KALO_CONVERTER"
extern const char* const converterConfigurationKey;     // "KALO_CONVERTER" in "PARAM_OTHER"

ConverterLocation findConverter();

// The folder of the application's executable (absolute); the working directory when the
// system cannot tell.
std::filesystem::path applicationDirectory();
