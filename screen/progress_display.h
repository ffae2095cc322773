#pragma once
// Puts what the conversion's progress monitor read on the conversion progress bar: the
// fraction done, the right end of the done part, the completion state and the text.
#include "conversion/progress_reading.h"
#include "widgets/final_progress_bar.h"

// The x of the right end of the done part for `shown` (0..1) of the bar.
int progressKnobX(const SDL_Rect& bar, float shown);

// Writes `progress`, `knobRect.x`, `finished`, `finishedAt` and (when the reading has one)
// the text of the bar.
void applyProgressReading(FinalProgressBar& bar, const ProgressReading& reading);
