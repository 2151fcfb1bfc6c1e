// myprogram: a window that says hello in the bitmap font until Escape. A starting point: draw
// into `image` in OnIdle, answer input in OnEvent, and add what you need of the framework.
#include <cstdio>

#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/palette.h"
#include "gfx/surface.h"
#include "platform/program_folder.h"
#include "win/window.h"

namespace {

// The default media (installed with Ondrel): the palette is the sheet's colour table.
constexpr const char* kPaletteFile = ".\\Media\\Sprites.bmp";
constexpr const char* kFontFile = ".\\Media\\font8x12.fon";

class MainWindow : public Window {
public:
    explicit MainWindow(const BitmapFont* windowFont)
        : Window("My program", 640, 480, /*noBackground=*/true, /*owner=*/nullptr, /*fullscreen=*/false),
          font(windowFont),
          image(640, 480) {}

    void OnEvent(int kind, int code, int) override {
        if (kind == Key && code == VK_ESCAPE) delete this;  // no window left: the program ends
    }

    void OnIdle() override {  // one frame
        image.Clear(colour::kGreen);
        DrawText(font, 320, 240, "Hello from my program", &image, colour::kWhite, /*centred=*/true, /*boxed=*/true);
        image.Present(this);
    }

private:
    const BitmapFont* font;
    Surface image;
};

}  // namespace

// The files the program opens, relative to the folder it runs in: the platform makes the folder
// that holds them current before WinMain (a program that opens no files leaves this out).
const char* const kProgramFiles[] = {kPaletteFile, kFontFile, nullptr};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Surfaces take the process palette when they are made: load it before making any.
    BitmapFont font(8, 12, kFontFile);
    if (!LoadPaletteFromBmp(kPaletteFile) || !font.glyphs) {
        std::fputs("myprogram: cannot read the media in Media/\n", stderr);
        return 1;
    }
    new MainWindow(&font);
    // Messages first; when none is waiting, one idle turn of every window. Until no window is left.
    const int exitCode = RunMessageLoop();
    DeleteAllWindows();
    return exitCode;
}
