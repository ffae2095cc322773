#include "widgets/asset_preload.h"

#include <SDL_image.h>

#include <map>
#include <mutex>
#include <utility>

#include "widgets/font_cache.h"

namespace kalo {
namespace {

std::mutex picturesMutex;

// Decoded pictures nobody has taken yet, by the path they were asked for.
std::map<std::string, SDL_Surface*>& preloadedPictures() {
    static std::map<std::string, SDL_Surface*> pictures;
    return pictures;
}

SDL_Surface* takePreloaded(const std::string& path) {
    std::lock_guard<std::mutex> lock(picturesMutex);
    auto& pictures = preloadedPictures();
    const auto found = pictures.find(path);
    if (found == pictures.end()) return nullptr;
    SDL_Surface* surface = found->second;
    pictures.erase(found);
    return surface;
}

}  // namespace

AssetPreload::AssetPreload(StartupAssets assets) {
    worker = std::thread([this, assets = std::move(assets)] {
        for (const FontRequest& request : assets.fonts) {
            if (TTF_Font* font = acquireFont(request.path, request.pointSize)) heldFonts.push_back(font);
        }
        for (const std::string& path : assets.pictures) {
            SDL_Surface* surface = IMG_Load(path.c_str());
            if (!surface) continue;  // the screen reports it when it asks for the picture
            std::lock_guard<std::mutex> lock(picturesMutex);
            SDL_Surface*& slot = preloadedPictures()[path];
            if (slot) SDL_FreeSurface(slot);
            slot = surface;
        }
    });
}

void AssetPreload::finish() {
    if (worker.joinable()) worker.join();
}

AssetPreload::~AssetPreload() {
    finish();
    for (TTF_Font* font : heldFonts) releaseFont(font);
    std::lock_guard<std::mutex> lock(picturesMutex);
    for (auto& entry : preloadedPictures()) SDL_FreeSurface(entry.second);
    preloadedPictures().clear();
}

SDL_Texture* loadTexture(SDL_Renderer* renderer, const std::string& path) {
    if (!renderer) return nullptr;
    SDL_Surface* surface = takePreloaded(path);
    if (!surface) surface = IMG_Load(path.c_str());
    if (!surface) return nullptr;
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
    SDL_FreeSurface(surface);
    return texture;
}

}  // namespace kalo
