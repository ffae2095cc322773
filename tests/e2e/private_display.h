#pragma once
// Each end-to-end test program runs on an X server of its own (Xvfb, 1920 x 1080 x 24),
// started before its first test and ended after its last. Tests of other programs that
// CTest runs at the same time on the shared virtual display would otherwise take the
// pointer and the keyboard focus, or put their windows where these tests click.
#include <string>

namespace kalo::e2e {

// The DISPLAY of the private server ("" before it started).
std::string privateDisplayName();

}  // namespace kalo::e2e
