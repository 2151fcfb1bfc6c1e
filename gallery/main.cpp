// ondrel-gallery's entry: WinMain, and the files it opens, by which the platform finds its folder.
#include "gallery/gallery.h"
#include "platform/program_folder.h"

const char* const kProgramFiles[] = {kGallerySheetFile, kGalleryFontFile, nullptr};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) { return GalleryMain(instance, commandLine); }
