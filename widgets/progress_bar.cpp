#include "widgets/progress_bar.h"

ProgressBar::~ProgressBar() {
    if (barImage) SDL_DestroyTexture(barImage);
    if (backgroundImage) SDL_DestroyTexture(backgroundImage);
}
