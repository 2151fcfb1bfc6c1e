// ondrel-sandbox's whole run, for its WinMain and for programs that drive it on the headless
// display driver (its tests, its screenshot script).
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace sandbox {

// The files the sandbox reads, relative to its program folder: the sprite sheet, whose colour
// table is the scene's palette (the demonstration's), and the 8 × 12 font.
constexpr const char* kSheetFile = ".\\Media\\Sprites.bmp";
constexpr const char* kFontFile = ".\\Media\\font8x12.fon";

// The words of a command line, split at spaces.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// With no words: the sandbox in its window until it is closed (0), or a WM_QUIT (its exit code);
// 1, with the reason on standard error, when its media cannot be read.
// With words: the batch mode (RunBatch).
int SandboxMain(HINSTANCE instance, char* commandLine);

// --run N [--scene IN] [--tap X,Y]... [--save OUT] [--png OUT] [--gif OUT]: loads IN (a scene
// file, or else any 8-bit bitmap imported as walls), adds the taps, runs N steps with no input and
// writes what was asked: 0. A bad argument or file: 2, the reason on standard error; 1 when the
// media cannot be read. Relative names are taken from the current folder, as it was at the call.
int RunBatch(const std::vector<std::string>& words);

}  // namespace sandbox
