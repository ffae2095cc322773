#pragma once
// How an owner drives its ordered list of widgets: order is priority (first entry first)
// for input and drawing order for output, so later widgets are drawn over earlier ones.
// Screens and composite widgets use these instead of writing the walks themselves.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <vector>

#include "widgets/button_base.h"

using WidgetList = std::vector<std::shared_ptr<ButtonBase>>;

// Hover walk: true when the first widget that holds the point comes before any blocking
// widget (a blocking widget that does not hold the point ends the walk with false).
bool pointerOverWidget(const WidgetList& widgets, glm::ivec2 point);

// Press walk: `onPress` in order up to the first widget that takes the press (returns it);
// later widgets receive nothing. Null when nobody took it.
std::shared_ptr<ButtonBase> pressWidgets(const WidgetList& widgets, glm::ivec2 point);

// Every widget is told about a release, pressed or not.
void releaseWidgets(const WidgetList& widgets, glm::ivec2 point);

// After the owner has re-laid out its widgets for a new window size.
void setWidgetsWindowSize(const WidgetList& widgets, glm::ivec2 size);

void renderWidgets(const WidgetList& widgets);

// The hand cursor over a widget, the arrow elsewhere; the system cursor is only set when
// that state changes. Cursors are created on first use and freed with the object.
class PointerCursor {
public:
    PointerCursor() = default;
    ~PointerCursor();
    PointerCursor(const PointerCursor&) = delete;
    PointerCursor& operator=(const PointerCursor&) = delete;

    // Returns true when the state changed and the cursor was set.
    bool show(bool overWidget);
    bool overWidget() const { return over; }
    int changes() const { return changeCount; }

private:
    SDL_Cursor* hand = nullptr;
    SDL_Cursor* arrow = nullptr;
    bool over = false;
    int changeCount = 0;
};

// Routes one mouse event to the list by the contract above: motion with no button held is
// the hover walk (a motion with a button held changes nothing), any button down the press
// walk, any button up the release to all. Returns true when the event was a mouse event of
// those three kinds.
bool routeMouseEvent(const WidgetList& widgets, const SDL_Event& event, PointerCursor& cursor);
