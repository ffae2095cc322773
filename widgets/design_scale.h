#pragma once
// How layout values of the configuration become window pixels. Positions and sizes in the
// configuration are pixels of the window at its default size and are used unchanged; a
// widget's position never moves with the window. What grows with the window is decided by
// the rules here, always computed from design values so that repeating a resize changes
// nothing.
#include <SDL.h>

#include <glm/vec2.hpp>

struct DesignScale {
    glm::ivec2 defaultWindowSize{1152, 648};  // the window at start-up
    int designCanvasWidth = 1920;             // width the artwork was drawn for

    // Reads "defaultWindowSizeX", "defaultWindowSizeY" and "photoshopSizeX" of section
    // PARAM_OTHER; a missing or non-positive value keeps the default above, so a broken
    // configuration never divides by zero.
    static DesignScale fromConfig();

    // Window size over default size per axis, in single precision.
    glm::vec2 factors(glm::ivec2 windowSize) const;

    // Icon-sized widgets: both sides from the icon's point size.
    glm::ivec2 iconWidgetSize(int pointSize, glm::ivec2 windowSize) const;
    // Image buttons: the design size up to the default width, scaled beyond it.
    glm::ivec2 imageButtonSize(glm::ivec2 designSize, glm::ivec2 windowSize) const;
    // Large icon font from the design canvas width on.
    bool useLargeIconFont(glm::ivec2 windowSize) const;
    // Large images (play/pause) whenever the window is wider than the default.
    bool useLargeImage(glm::ivec2 windowSize) const;
    // Point size of the large icon font for a display this wide.
    int largeFontPointSize(int pointSize, int displayWidth) const;
};

// trunc(float(length) * factor), the factor computed first.
int scaledLength(int designLength, float factor);

// The main background's 1080 picture is for windows wider than 1280 pixels.
bool useBackground1080(glm::ivec2 windowSize);

// Width of display 0, or 0 when it cannot be read.
int primaryDisplayWidth();
