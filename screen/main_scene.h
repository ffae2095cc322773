#pragma once
// The converter screen, the scene of the main window: the menu, the background, the five
// widgets of the button table, the message list, the conversion progress bar, the source
// information panel, the media engine and the preview window's scene.
//
// A person's road through it: choose a source (button, menu or drop), see its thumbnail and
// its information, pick the options, pick where the result goes, convert, follow the
// progress bar and the time left, stop or see the completion text.
#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <functional>
#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "conversion/progress_monitor.h"
#include "screen/present_timing.h"
#include "scene/scene_object.h"

class AboutButton;
class ConsolePanel;
class FFmpegHelper;
class FinalProgressBar;
class MainUIAniTextList;
class MenuControl;
class PlayerWindow;
class VideoInfo;
class buttonTable;
class mainBackground;

// Set once the application has accepted a quit; never cleared.
extern bool appQuitting;

class MainScene : public ISceneObject {
public:
    // The text font's sizes: the panels' and menus' text, and the progress line's.
    static constexpr int textPointSize = 13;
    static constexpr int smallTextPointSize = 11;
    // How long the completion text stays after the job's end.
    static constexpr Uint32 completionShowMs = 9000;

    MainScene(SDL_Renderer* sceneRenderer, SDL_Window* sceneWindow, std::string sceneName);
    ~MainScene() override;

    void init() override;
    void handleEvent(const SDL_Event& event) override;
    void render() override;
    void quit() override;
    // Between events the screen draws only while something moves (a message sliding in, an
    // open list), when the conversion's progress is due, and on a slow heartbeat for the
    // timed changes (the completion text going, a finished job).
    bool wantsFrame() const override;

    // Runs one menu command (open, exit, About), whichever menu delivered it.
    void runMenuCommand(int command);

    SDL_Cursor* arrowCursor = nullptr;
    SDL_Cursor* handCursor = nullptr;
    SDL_Rect panelRect{0, 0, 0, 0};
    std::array<int, 4> progressRect{0, 0, 0, 0};
    TTF_Font* smallFont = nullptr;
    TTF_Font* font = nullptr;
    SDL_TimerID pollTimer = 0;
    std::shared_ptr<mainBackground> background;
    std::shared_ptr<MainUIAniTextList> messages;
    std::shared_ptr<buttonTable> widgets;
    std::shared_ptr<FinalProgressBar> progressBar;
    std::shared_ptr<ProgressMonitor> progressMonitor;  // the bar's console reader
    std::shared_ptr<MenuControl> menu;
    std::shared_ptr<AboutButton> about;
    std::shared_ptr<FFmpegHelper> engine;
    std::string appFolder;               // argv[0]: the program whose folder holds filter/
    std::shared_ptr<PlayerWindow> player;
    std::shared_ptr<VideoInfo> videoInfo;
    std::shared_ptr<ConsolePanel> consolePanel;
    bool consoleToggle = false;
    glm::ivec2* windowSize = nullptr;    // the entry function's window size, kept current
    bool quitPending = false;
    bool converting = false;
    bool handCursorOn = false;
    bool previewRefreshPending = false;
    bool completionShown = false;
    int messagesRaisedBy = 0;  // how far the message list sits above its usual place
    char* droppedFile = nullptr;
    // A source given on the command line ("Open with"): opened once the first frame is on
    // screen, so the window shows at once and the thumbnail follows.
    std::string startupSource;
    // Runs once, right after the first frame is on screen: start-up work that need not
    // delay the window.
    std::function<void()> afterFirstFrame;
    PresentTiming presentTiming;

private:
    static constexpr Uint32 heartbeatMs = 500;
    bool firstFramePresented = false;
    Uint32 lastFrameAt = 0;

    void relayout();
    void dropFile(char* file);
    void openStartupSource();
    void previewFilterKey(int value);
    void onUserEvent(const SDL_Event& event);
    void onKey(const SDL_Event& event);
    void finishEvent();
    void drawProgress();
    void showCompletion(bool shown);
    void anchorMessages();
    glm::ivec2 currentWindowSize() const;
};
