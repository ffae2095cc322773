#pragma once
// What the widget tests share beyond the test-support library's canvas: SDL_ttf and
// SDL_image brought up for every test of the program, the fonts the tests render with and
// solid-colour pictures.
#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

#include "software_canvas.h"

using kalo::test::Rgba;
using kalo::test::rgba;
using kalo::test::SoftwareCanvas;

// A font file that renders Latin and CJK text: the shipped one when the run-time folder has
// it, else one of the system's. Empty when none exists.
std::string textFontPath();

// Writes a solid-colour PNG for image-loading tests; returns its path.
std::string writeSolidPng(const std::string& name, int width, int height, SDL_Color color);
