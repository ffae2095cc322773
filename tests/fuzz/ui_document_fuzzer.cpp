// The UI document as an override file: loaded, then every value of every section read
// through each typed lookup, as the screens would.
#include <cstddef>
#include <cstdint>

#include "config/json_base.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = kalo::fuzz::privateFolder() / "kalo_conv_UI.json";
    kalo::fuzz::writeInput(file, data, size);
    JSONBase config;
    config.load(file.wstring(), false);
    if (!config.document.is_object()) return 0;
    int lookups = 0;
    for (const auto& section : config.document.items()) {
        if (!section.value().is_object()) continue;
        for (const auto& entry : section.value().items()) {
            if (++lookups > 64) return 0;
            (void)config.getString(section.key(), entry.key());
            (void)config.getWString(section.key(), entry.key());
            (void)config.getColor(section.key(), entry.key());
            (void)config.getPoint(section.key(), entry.key());
            (void)config.getInt(section.key(), entry.key());
            (void)config.getArray(section.key(), entry.key());
        }
    }
    return 0;
}
