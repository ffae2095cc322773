#pragma once
// The virtual display as a person meets it: windows found by their titles, pictures of
// parts of the screen, and real input (xdotool's XTEST pointer and key events, which reach
// a window exactly as a person's would). Every wait is bounded.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "screen_layout.h"

namespace kalo::e2e {

// A part of the screen, 0xRRGGBB per pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
    bool operator==(const Picture& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
    bool operator!=(const Picture& other) const { return !(*this == other); }
    // Share of pixels whose strongest and weakest colour channels differ by more than 80:
    // the coloured test pattern shows, the screen's greys and whites do not.
    double colourfulShare() const;
};

class DesktopSession {
public:
    // `scratch` receives the output of the helper programs.
    explicit DesktopSession(std::filesystem::path scratch);

    // A viewable top-level window with exactly this title (UTF-8); 0 when none appeared
    // within `seconds`.
    unsigned long findWindowTitled(const std::string& title, double seconds) const;
    bool isViewable(unsigned long window) const;
    // True when the window went (destroyed or unmapped) within `seconds`.
    bool waitUntilGone(unsigned long window, double seconds) const;

    // The window's area in window coordinates; empty when the window is gone.
    Picture capture(unsigned long window, const Area& area) const;

    // Moves the pointer to `point` of the window (without a click).
    bool movePointer(unsigned long window, Point point) const;
    // Moves the pointer to `point` of the window and clicks the left button.
    bool click(unsigned long window, Point point) const;
    // Gives the window the keyboard focus and types `keys`, xdotool key names separated by
    // blanks ("Escape", "alt+f Return").
    bool pressKeys(unsigned long window, const std::string& keys) const;

    // The whole screen as a PNG, for a person to look at.
    bool saveScreenshot(const std::filesystem::path& file) const;

private:
    bool run(const std::vector<std::string>& command) const;
    std::filesystem::path scratch_;
};

}  // namespace kalo::e2e
