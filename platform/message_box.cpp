#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>

namespace kalo::platform {
namespace {

std::mutex handlerMutex;
MessageBoxHandler scriptedHandler;

Uint32 sdlFlags(MessageBoxKind kind) {
    switch (kind) {
        case MessageBoxKind::Error: return SDL_MESSAGEBOX_ERROR;
        case MessageBoxKind::Warning: return SDL_MESSAGEBOX_WARNING;
        case MessageBoxKind::Information: break;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

int showWithSdl(const MessageBoxRequest& request) {
    if (request.buttons.empty()) {
        if (SDL_ShowSimpleMessageBox(sdlFlags(request.kind), request.title.c_str(),
                                     request.text.c_str(), nullptr) != 0) {
            std::printf("Message box failed: %s\n", SDL_GetError());
            return -1;
        }
        return 0;
    }
    std::vector<SDL_MessageBoxButtonData> buttons;
    buttons.reserve(request.buttons.size());
    for (const MessageBoxButton& button : request.buttons) {
        Uint32 flags = 0;
        if (button.returnKeyDefault) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (button.escapeKeyDefault) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons.push_back(SDL_MessageBoxButtonData{flags, button.id, button.text.c_str()});
    }
    SDL_MessageBoxData data;
    SDL_zero(data);
    data.flags = sdlFlags(request.kind);
    data.window = nullptr;
    data.title = request.title.c_str();
    data.message = request.text.c_str();
    data.numbuttons = static_cast<int>(buttons.size());
    data.buttons = buttons.data();
    data.colorScheme = nullptr;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        std::printf("Message box failed: %s\n", SDL_GetError());
        return -1;
    }
    return pressed;
}

}  // namespace

int showMessageBox(const MessageBoxRequest& request) {
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> lock(handlerMutex);
        handler = scriptedHandler;
    }
    return handler ? handler(request) : showWithSdl(request);
}

void showSimpleMessageBox(MessageBoxKind kind, const std::string& title, const std::string& text) {
    MessageBoxRequest request;
    request.kind = kind;
    request.title = title;
    request.text = text;
    showMessageBox(request);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard<std::mutex> lock(handlerMutex);
    MessageBoxHandler previous = std::move(scriptedHandler);
    scriptedHandler = std::move(handler);
    return previous;
}

}  // namespace kalo::platform
