// A program that opens a file and names it in kProgramFiles without including
// platform/program_folder.h: started from any folder, it runs in the one that holds the file
// (beside it in the run folder, or installed in ../share/files).
#include <cstdio>

#include "gfx/image_files.h"

const char* const kProgramFiles[] = {".\\Media\\Sprites.bmp", nullptr};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const bool found = LoadPaletteFromBmp(".\\Media\\Sprites.bmp");
    std::puts(found ? "files: found Media/Sprites.bmp" : "files: no Media/Sprites.bmp here");
    return found ? 0 : 1;
}
