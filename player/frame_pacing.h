#pragma once
// Milliseconds the decoder sleeps after a picture so that pictures follow each other at
// `fps`: one frame period minus the time spent on it minus 1 ms; 0 when nothing is left
// or the rate is unknown.
int pacingDelayMs(float fps, unsigned elapsedMs);
