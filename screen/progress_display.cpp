#include "screen/progress_display.h"

#include <cmath>

#include "widgets/text_base.h"

int progressKnobX(const SDL_Rect& bar, float shown) {
    return bar.x + static_cast<int>(std::trunc(static_cast<float>(bar.w) * shown));
}

void applyProgressReading(FinalProgressBar& bar, const ProgressReading& reading) {
    bar.progress = reading.progress;
    bar.knobRect.x = progressKnobX(bar.rect, reading.shown);
    bar.finished = reading.finished;
    bar.finishedAt = reading.finishedAt;
    if (bar.text && !reading.text.empty()) bar.text->setText(reading.text);
}
