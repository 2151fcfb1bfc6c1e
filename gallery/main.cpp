// ondrel-gallery's entry: WinMain, and the files it opens, by which the platform finds its folder.
// Asked its version (--version alone), it answers as the tools do, before it needs a display.
#include <cstdio>
#include <cstring>

#include "gallery/gallery.h"
#include "platform/program_folder.h"

const char* const kProgramFiles[] = {kGallerySheetFile, kGalleryFontFile, nullptr};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    if (std::strcmp(commandLine, "--version") == 0) {
        std::printf("ondrel-gallery %s\n", ONDREL_VERSION);
        return 0;
    }
    return GalleryMain(instance, commandLine);
}
