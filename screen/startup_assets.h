#pragma once
// The fonts and pictures the main screen opens while it is built, for the start-up preload
// (widgets/asset_preload.h). A name missing here costs only time: the screen opens it itself.
#include "widgets/asset_preload.h"

kalo::StartupAssets mainScreenAssets();
