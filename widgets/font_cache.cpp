#include "widgets/font_cache.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

struct Entry {
    TTF_Font* font = nullptr;
    int users = 0;
};

std::mutex cacheMutex;
std::map<std::pair<std::string, int>, Entry>& cache() {
    static std::map<std::pair<std::string, int>, Entry> fonts;
    return fonts;
}

}  // namespace

TTF_Font* acquireFont(const std::string& path, int pointSize) {
    if (path.empty() || pointSize <= 0 || !TTF_WasInit()) return nullptr;
    std::lock_guard<std::mutex> lock(cacheMutex);
    Entry& entry = cache()[{path, pointSize}];
    if (!entry.font) {
        entry.font = TTF_OpenFont(path.c_str(), pointSize);
        if (!entry.font) {
            cache().erase({path, pointSize});
            return nullptr;
        }
    }
    ++entry.users;
    return entry.font;
}

void releaseFont(TTF_Font* font) {
    if (!font) return;
    std::lock_guard<std::mutex> lock(cacheMutex);
    for (auto it = cache().begin(); it != cache().end(); ++it) {
        if (it->second.font != font) continue;
        if (--it->second.users == 0) {
            // After TTF_Quit every font is gone already.
            if (TTF_WasInit()) TTF_CloseFont(font);
            cache().erase(it);
        }
        return;
    }
    // Not from the cache: a font opened directly is closed as before.
    if (TTF_WasInit()) TTF_CloseFont(font);
}
