#pragma once
// Fonts shared by every widget that asks for the same file at the same size. Opening a
// large CJK font parses megabytes of tables; the screen asks for the same few fonts a
// dozen times at start-up, which cost a noticeable part of the time to the first frame.
// Each acquire is matched by one release; the font closes with its last user. Callers must
// not change a shared font's style, outline or hinting.
#include <SDL_ttf.h>

#include <string>

TTF_Font* acquireFont(const std::string& path, int pointSize);
void releaseFont(TTF_Font* font);
