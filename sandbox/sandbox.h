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

// The words of a command line, split as the Windows (Microsoft C) runtime splits one into argv:
// at spaces and tabs outside double quotes; a double quote starts or ends a quoted stretch (two
// in a row inside one give a quote); backslashes are themselves except before a double quote,
// where each pair gives one backslash and an odd one makes the quote a plain character:
// --save "my scenes\level 1.bmp" is two words, the second my scenes\level 1.bmp.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// With no words: the sandbox in its window until it is closed (0), or a WM_QUIT (its exit code);
// 1, with the reason on standard error, when its media cannot be read.
// With words: the batch mode (RunBatch).
int SandboxMain(HINSTANCE instance, char* commandLine);

// --run N [--scene IN] [--tap X,Y]... [--save OUT] [--png OUT] [--gif OUT]: loads IN (a scene
// file, or else any 8-bit bitmap imported as walls), adds the taps, runs N steps with no input and
// writes what was asked: 0. A bad argument or file, or a tap in a wall: 2, the reason on standard
// error; 1 when the media cannot be read. Relative names are taken from the current folder, as it
// was at the call. While standard error is a terminal, the run's progress shows there every
// kProgressSeconds. --help and --version print the usage or the version on standard output: 0.
int RunBatch(const std::vector<std::string>& words);
constexpr int kProgressSeconds = 2;

}  // namespace sandbox
