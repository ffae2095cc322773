#pragma once
// The three paths the converter screen asks for (source video, output file, output folder),
// the default output name derived from the source, and the source button's actions. Every
// action works on a snapshot of the job record and stores it with WindowsManager::update.
// A dialog that cannot be shown is told to the user in an error box and counts as cancelled.
#include <SDL.h>

#include <memory>
#include <string>

#include "conversion/windows_manager.h"

class FFmpegHelper;

// The open chooser over the supported formats (all of them first, then one per format).
// The working directory is set back afterwards; the choice is returned even when that
// fails. Empty when cancelled.
std::wstring chooseSourceFile();

// The save chooser for an MP4 file; ".mp4" is added to a name without an extension, and an
// existing file of the final name is only taken after the user agreed to replace it. Empty
// when cancelled.
std::wstring chooseOutputFile();

// The folder chooser; the path ends with the separator. Empty when cancelled.
std::wstring chooseOutputFolder();

// The source's file name without its last extension, followed by "_SBS.mp4", in place of
// the file name of `output` (a folder ending in a separator takes the name after it).
// An empty output stays empty.
std::wstring defaultOutputPath(const std::wstring& source, const std::wstring& output);

// The source button's action: the open chooser; a choice becomes the record's input with
// the command "open" and user event 20, a cancel leaves the command "nothing".
void chooseSourceAction(const std::shared_ptr<WindowsManager>& record);

// What follows the choice: opens the chosen source in the engine (paused), takes the
// depth level from its shape, and gives an output already set the new source's name.
// A source the engine cannot open is told in an error box; the record then keeps the
// source and output of `before`.
void openChosenSource(const std::shared_ptr<WindowsManager>& record,
                      const std::shared_ptr<FFmpegHelper>& engine, SDL_Renderer* renderer,
                      const JobSnapshot& before);

// The whole open action, as the source button and the menu command run it.
void openSourceAction(const std::shared_ptr<WindowsManager>& record,
                      const std::shared_ptr<FFmpegHelper>& engine, SDL_Renderer* renderer);
