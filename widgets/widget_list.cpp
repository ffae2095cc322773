#include "widgets/widget_list.h"

bool pointerOverWidget(const WidgetList& widgets, glm::ivec2 point) {
    for (const auto& widget : widgets) {
        if (widget->isInside(point)) return true;
        if (widget->isBlocking()) return false;
    }
    return false;
}

std::shared_ptr<ButtonBase> pressWidgets(const WidgetList& widgets, glm::ivec2 point) {
    for (const auto& widget : widgets) {
        if (widget->onPress(point)) return widget;
    }
    return nullptr;
}

void releaseWidgets(const WidgetList& widgets, glm::ivec2 point) {
    for (const auto& widget : widgets) widget->onRelease(point);
}

void setWidgetsWindowSize(const WidgetList& widgets, glm::ivec2 size) {
    for (const auto& widget : widgets) widget->setWindowSize(size);
}

void renderWidgets(const WidgetList& widgets) {
    for (const auto& widget : widgets) widget->render();
}

PointerCursor::~PointerCursor() {
    if (hand) SDL_FreeCursor(hand);
    if (arrow) SDL_FreeCursor(arrow);
}

bool PointerCursor::show(bool overWidget) {
    if (overWidget == over) return false;
    over = overWidget;
    ++changeCount;
    SDL_Cursor*& cursor = over ? hand : arrow;
    if (!cursor && SDL_WasInit(SDL_INIT_VIDEO)) {
        cursor = SDL_CreateSystemCursor(over ? SDL_SYSTEM_CURSOR_HAND : SDL_SYSTEM_CURSOR_ARROW);
    }
    if (cursor) SDL_SetCursor(cursor);
    return true;
}

bool routeMouseEvent(const WidgetList& widgets, const SDL_Event& event, PointerCursor& cursor) {
    switch (event.type) {
    case SDL_MOUSEMOTION:
        if (event.motion.state == 0) {
            cursor.show(pointerOverWidget(widgets, {event.motion.x, event.motion.y}));
        }
        return true;
    case SDL_MOUSEBUTTONDOWN:
        pressWidgets(widgets, {event.button.x, event.button.y});
        return true;
    case SDL_MOUSEBUTTONUP:
        releaseWidgets(widgets, {event.button.x, event.button.y});
        return true;
    default:
        return false;
    }
}
