#pragma once
// Where the picture goes inside a target area: as large as `scale` of the area allows,
// keeping the picture's shape, centred. For a quarter turn the rectangle is the unturned
// one, so that drawing it turned about its centre fills the same place.
#include <SDL.h>

SDL_Rect computeVideoRect(int areaWidth, int areaHeight, float scale, int pictureWidth,
                          int pictureHeight, int rotation);
