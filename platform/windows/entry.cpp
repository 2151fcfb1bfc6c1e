// Before the Windows runtime calls WinMain, the program moves to the folder of its files, as
// platform/entry.cpp's main() does elsewhere. Static construction is the moment: it runs before
// WinMain, and the list of files is a constant, set before any construction runs.
#include "platform/program_folder.h"

namespace {

struct BeforeWinMain {
    BeforeWinMain() { EnterProgramFolder("ondrel", kProgramFiles); }
} beforeWinMain;

}  // namespace
