// Before the Windows runtime calls WinMain, the program moves to the folder of its files, as
// platform/entry.cpp's main() does elsewhere, and its windows are set to fit the screen
// (window_scale.h), as every display fits them. Static construction is the moment: it runs before
// WinMain, on the thread that runs it, and the list of files is a constant, set before any
// construction runs. The program declares itself DPI-aware in its manifest (dpi_aware.manifest,
// linked in from here), so that Windows leaves the enlarging to it and it stays sharp.
#include "platform/program_folder.h"
#include "platform/windows/window_scale.h"

namespace {

struct BeforeWinMain {
    BeforeWinMain() {
        EnterProgramFolder("ondrel", kProgramFiles);
        EnableWindowScaling();
    }
} beforeWinMain;

}  // namespace
