// The gallery's run: its media, its window, the message-and-idle loop, and the tidying up.
#include "gallery/gallery.h"

#include <cstdio>

#include "app/globals.h"
#include "gallery/gallery_window.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/sprite_sheet.h"
#include "win/window.h"

namespace {

// The exit code of a gallery that cannot show itself.
int Fail(const char* why) {
    std::fprintf(stderr, "ondrel-gallery: %s\n", why);
    return 1;
}

}  // namespace

int GalleryMain(HINSTANCE instance, char* commandLine) {
    appGlobals.instance = instance;
    appGlobals.commandLine = commandLine;

    // Every surface takes the process palette when it is made, so the palette comes first: the
    // sprite sheet's colour table.
    if (!LoadPaletteFromBmp(kGallerySheetFile)) return Fail("cannot read the palette of .\\Media\\Sprites.bmp");
    BitmapFont font(8, 12, kGalleryFontFile);
    if (!font.glyphs) return Fail("cannot read the font .\\Media\\font8x12.fon");
    SpriteSheet sheet(kGallerySheetFile);
    if (sheet.FrameCount(kBrick) == 0) return Fail("cannot cut the sprites of .\\Media\\Sprites.bmp");

    new GalleryWindow(&font, &sheet);  // the window registry keeps it; Escape deletes it
    int exitCode = RunMessageLoop();  // until no window is left, or a WM_QUIT

    // After a WM_QUIT the window is still there; the tasks it showed belong to the Universe.
    DeleteAllWindows();
    appGlobals.universe.ClearTasks();
    appGlobals.universe.SetState(Active);
    return exitCode;
}
