// The widget base and the container contract: hit testing, the press walk, release, hover
// and drawing in list order.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "widget_test_support.h"
#include "widgets/button_base.h"
#include "widgets/widget_list.h"

namespace {

std::shared_ptr<ButtonBase> makeWidget(SDL_Rect r, SDL_Renderer* renderer = nullptr) {
    return std::shared_ptr<ButtonBase>(new ButtonBase(renderer, {r.w, r.h}, {r.x, r.y}));
}

// A widget that records which of its operations the owner called.
class RecordingWidget : public ButtonBase {
public:
    std::vector<std::string>* log;
    std::string name;
    RecordingWidget(std::vector<std::string>* log_, std::string name_, SDL_Rect r)
        : ButtonBase(nullptr, {r.w, r.h}, {r.x, r.y}), log(log_), name(std::move(name_)) {}
    bool onPress(glm::ivec2 p) override {
        log->push_back(name);
        return ButtonBase::onPress(p);
    }
};

SDL_Event mouseEvent(Uint32 type, int x, int y, Uint32 state = 0) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.x = x;
        event.motion.y = y;
        event.motion.state = state;
    } else {
        event.button.x = x;
        event.button.y = y;
        event.button.button = SDL_BUTTON_LEFT;
    }
    return event;
}

}  // namespace

TEST(ButtonBase, ConstructionSetsRectAndDefaults) {
    ButtonBase widget(nullptr, {30, 40}, {10, 20});
    EXPECT_EQ(widget.rect.x, 10);
    EXPECT_EQ(widget.rect.y, 20);
    EXPECT_EQ(widget.rect.w, 30);
    EXPECT_EQ(widget.rect.h, 40);
    EXPECT_EQ(rgba(widget.color), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(rgba(widget.activeColor), (Rgba{128, 128, 128, 255}));
    EXPECT_FALSE(widget.active);
    EXPECT_FALSE(widget.isBlocking());
    EXPECT_EQ(widget.windowSize, glm::ivec2(0, 0));
}

TEST(ButtonBase, HitTestIsStrictOnEveryEdge) {
    struct Case {
        SDL_Rect rect;
        glm::ivec2 point;
        bool inside;
        const char* what;
    };
    const SDL_Rect r{10, 20, 30, 40};
    const Case cases[] = {
        {r, {10, 30}, false, "left edge"},
        {r, {11, 30}, true, "just right of the left edge"},
        {r, {40, 30}, false, "right edge x = x + w"},
        {r, {39, 30}, true, "just left of the right edge"},
        {r, {20, 20}, false, "top edge"},
        {r, {20, 21}, true, "just below the top edge"},
        {r, {20, 60}, false, "bottom edge y = y + h"},
        {r, {20, 59}, true, "just above the bottom edge"},
        {r, {5, 5}, false, "far outside"},
        {{10, 20, 0, 40}, {10, 30}, false, "zero width"},
        {{10, 20, 0, 40}, {11, 30}, false, "zero width, right of x"},
        {{10, 20, 30, 0}, {20, 20}, false, "zero height"},
        {{10, 20, 1, 1}, {10, 20}, false, "one pixel holds no point"},
    };
    for (const auto& c : cases) {
        auto widget = makeWidget(c.rect);
        EXPECT_EQ(widget->isInside(c.point), c.inside) << c.what;
        EXPECT_EQ(widget->onPress(c.point), c.inside) << c.what;
        EXPECT_EQ(widget->active, c.inside) << c.what;
    }
}

TEST(ButtonBase, SetCallbackReleasesThePreviousTarget) {
    auto first = std::make_shared<int>(0);
    auto widget = makeWidget({0, 0, 10, 10});
    widget->setCallback([first] { ++*first; });
    widget->onPress({5, 5});
    EXPECT_EQ(*first, 1);
    EXPECT_EQ(first.use_count(), 2);
    int second = 0;
    widget->setCallback([&second] { ++second; });
    EXPECT_EQ(first.use_count(), 1);
    widget->onPress({5, 5});
    EXPECT_EQ(*first, 1);
    EXPECT_EQ(second, 1);
}

TEST(WidgetList, PressWalkStopsAtTheFirstTakerEvenWithAnEmptyCallback) {
    std::vector<std::string> log;
    auto miss = std::make_shared<RecordingWidget>(&log, "miss", SDL_Rect{100, 100, 10, 10});
    auto emptyCallback = std::make_shared<RecordingWidget>(&log, "empty", SDL_Rect{0, 0, 50, 50});
    auto overlapped = std::make_shared<RecordingWidget>(&log, "later", SDL_Rect{10, 10, 50, 50});
    int laterCalls = 0;
    overlapped->setCallback([&laterCalls] { ++laterCalls; });
    miss->active = true;       // an earlier widget treats the press as a miss
    overlapped->active = true; // a later widget is not touched at all
    const WidgetList widgets{miss, emptyCallback, overlapped};

    const auto taker = pressWidgets(widgets, {20, 20});

    EXPECT_EQ(taker, emptyCallback);
    EXPECT_EQ(log, (std::vector<std::string>{"miss", "empty"}));
    EXPECT_FALSE(miss->active);
    EXPECT_TRUE(emptyCallback->active);
    EXPECT_TRUE(overlapped->active);
    EXPECT_EQ(laterCalls, 0);

    log.clear();
    EXPECT_EQ(pressWidgets(widgets, {55, 55}), overlapped);  // only the later one holds it
    EXPECT_EQ(laterCalls, 1);
    EXPECT_EQ(pressWidgets(widgets, {500, 500}), nullptr);
    EXPECT_FALSE(overlapped->active);
}

TEST(WidgetList, ReleaseClearsEveryWidget) {
    auto pressed = makeWidget({0, 0, 10, 10});
    auto neverPressed = makeWidget({20, 0, 10, 10});
    const WidgetList widgets{pressed, neverPressed};
    pressWidgets(widgets, {5, 5});
    neverPressed->active = true;
    releaseWidgets(widgets, {900, 900});
    EXPECT_FALSE(pressed->active);
    EXPECT_FALSE(neverPressed->active);
}

TEST(WidgetList, HoverWalkStopsAtABlockingWidgetThatMisses) {
    auto first = makeWidget({0, 0, 10, 10});
    auto second = makeWidget({20, 0, 10, 10});
    const WidgetList widgets{first, second};
    EXPECT_TRUE(pointerOverWidget(widgets, {25, 5}));
    first->blocking = true;
    EXPECT_FALSE(pointerOverWidget(widgets, {25, 5}));
    EXPECT_TRUE(pointerOverWidget(widgets, {5, 5}));  // inside the blocking one itself
    second->blocking = true;
    first->blocking = false;
    EXPECT_TRUE(pointerOverWidget(widgets, {25, 5}));
    EXPECT_FALSE(pointerOverWidget(widgets, {50, 50}));
}

TEST(WidgetList, RoutedMouseEvents) {
    auto widget = makeWidget({0, 0, 10, 10});
    const WidgetList widgets{widget};
    PointerCursor cursor;

    // A motion with a button held changes nothing, over a widget or not.
    routeMouseEvent(widgets, mouseEvent(SDL_MOUSEMOTION, 5, 5, SDL_BUTTON_LMASK), cursor);
    EXPECT_FALSE(cursor.overWidget());
    EXPECT_EQ(cursor.changes(), 0);

    routeMouseEvent(widgets, mouseEvent(SDL_MOUSEMOTION, 5, 5), cursor);
    EXPECT_TRUE(cursor.overWidget());
    routeMouseEvent(widgets, mouseEvent(SDL_MOUSEMOTION, 6, 6), cursor);
    EXPECT_EQ(cursor.changes(), 1) << "the cursor is only set when the state changes";
    routeMouseEvent(widgets, mouseEvent(SDL_MOUSEMOTION, 50, 50, SDL_BUTTON_RMASK), cursor);
    EXPECT_TRUE(cursor.overWidget());
    routeMouseEvent(widgets, mouseEvent(SDL_MOUSEMOTION, 50, 50), cursor);
    EXPECT_FALSE(cursor.overWidget());
    EXPECT_EQ(cursor.changes(), 2);

    routeMouseEvent(widgets, mouseEvent(SDL_MOUSEBUTTONDOWN, 5, 5), cursor);
    EXPECT_TRUE(widget->active);
    routeMouseEvent(widgets, mouseEvent(SDL_MOUSEBUTTONUP, 70, 70), cursor);
    EXPECT_FALSE(widget->active);
    EXPECT_FALSE(routeMouseEvent(widgets, SDL_Event{SDL_KEYDOWN}, cursor));
}

TEST(WidgetList, WindowSizeReachesEveryWidget) {
    const WidgetList widgets{makeWidget({0, 0, 1, 1}), makeWidget({0, 0, 1, 1})};
    setWidgetsWindowSize(widgets, {1280, 720});
    for (const auto& w : widgets) EXPECT_EQ(w->windowSize, glm::ivec2(1280, 720));
}

TEST(WidgetList, DrawsInListOrderWithTheActiveColour) {
    SoftwareCanvas canvas(100, 60);
    canvas.clear({0, 0, 0, 255});
    auto back = makeWidget({0, 0, 60, 40}, canvas.renderer);
    auto front = makeWidget({30, 10, 60, 40}, canvas.renderer);
    back->setColor({200, 0, 0, 255});
    front->setColor({0, 0, 200, 255});
    front->onPress({40, 20});
    renderWidgets({back, front});
    EXPECT_EQ(canvas.pixel(10, 5), (Rgba{200, 0, 0, 255}));
    EXPECT_EQ(canvas.pixel(40, 20), (Rgba{128, 128, 128, 255})) << "later widget on top, active";
    front->onRelease({0, 0});
    renderWidgets({back, front});
    EXPECT_EQ(canvas.pixel(40, 20), (Rgba{0, 0, 200, 255}));
    EXPECT_EQ(canvas.pixel(95, 55), (Rgba{0, 0, 0, 255}));

    canvas.clear({0, 0, 0, 255});
    renderWidgets({makeWidget({5, 5, 0, 20}, canvas.renderer), makeWidget({20, 5, 0, 0}, canvas.renderer)});
    EXPECT_EQ(canvas.countDiffering({0, 0, 100, 60}, {0, 0, 0, 255}), 0) << "empty widgets draw nothing";
}
