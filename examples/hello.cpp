// hello: the smallest whole program on the Ondrel framework. It shows
//   - a window (Window) whose picture is an 8-bit surface (Surface), drawn and presented once
//     every idle turn, which in a real window is once a display refresh;
//   - a line of text in the 8 × 12 bitmap font (BitmapFont, DrawText);
//   - a sprite, the fish of the default sprite sheet (SpriteSheet, DrawSprite), that starts at
//     (100, 200), moves 3 pixels right and 2 down every frame, and turns back at the window's
//     edges, facing the way it swims;
//   - the message-and-idle loop, which ends when the window goes: Escape deletes it.
// It reads the default media from its current folder: Media/Sprites.bmp, whose colour table is
// the palette (its colours have names in gfx/palette.h) and whose marked frames are the sprites,
// and Media/font8x12.fon. It lists them in kProgramFiles, so that started from elsewhere it finds
// them beside the program, or installed in ../share/hello (or Ondrel's ../share/ondrel).
#include <cstdio>

#include "gfx/blit.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/palette.h"
#include "gfx/sprite_sheet.h"
#include "gfx/surface.h"
#include "platform/program_folder.h"
#include "win/window.h"

namespace {

constexpr const char* kSheetFile = ".\\Media\\Sprites.bmp";  // '\' separates folders, as on Windows
constexpr const char* kFontFile = ".\\Media\\font8x12.fon";

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The fish: sprite 3 of the sheet, two frames of 12 × 7 (its tail flicks); its stripe takes a tint.
constexpr int16_t kFish = 3;
constexpr int kFishWidth = 12;
constexpr int kFishHeight = 7;

class HelloWindow : public Window {
public:
    HelloWindow(const BitmapFont* helloFont, const SpriteSheet* helloSheet)
        : Window("Hello, Ondrel", kWidth, kHeight, /*noBackground=*/true, /*owner=*/nullptr, /*fullscreen=*/false),
          font(helloFont),
          sheet(helloSheet),
          image(kWidth, kHeight) {}

    // Keys arrive as virtual-key codes. Deleting the window ends the program: the loop below
    // stops when no window is left.
    void OnEvent(int kind, int code, int) override {
        if (kind == Key && code == VK_ESCAPE) delete this;
    }

    // One frame: move the fish, draw everything afresh, show it.
    void OnIdle() override {
        if (x + dx < 0 || x + dx + kFishWidth > kWidth) dx = -dx;
        if (y + dy < 0 || y + dy + kFishHeight > kHeight) dy = -dy;
        x += dx;
        y += dy;
        ++frames;

        image.Clear(colour::kBlue);
        DrawText(font, 16, 16, "Hello, Ondrel! Escape ends.", &image, colour::kWhite, /*centred=*/false, /*boxed=*/false);
        const auto tailFlick = static_cast<int16_t>(frames / 8 % 2);
        DrawSprite(sheet, x, y, kFish, tailFlick, &image, /*flipX=*/dx < 0, /*flipY=*/false, /*transpose=*/false,
                   /*tint=*/colour::kYellow);
        image.Present(this);
    }

private:
    const BitmapFont* font;
    const SpriteSheet* sheet;
    Surface image;
    int x = 100, y = 200, dx = 3, dy = 2;
    int frames = 0;
};

int Fail(const char* why) {
    std::fprintf(stderr, "hello: %s\n", why);
    return 1;
}

}  // namespace

// The files the program opens; the platform makes the folder that holds them current.
const char* const kProgramFiles[] = {kSheetFile, kFontFile, nullptr};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Every surface takes the process palette when it is made, so the palette comes first.
    if (!LoadPaletteFromBmp(kSheetFile)) return Fail("cannot read the palette of Media/Sprites.bmp");
    BitmapFont font(8, 12, kFontFile);
    SpriteSheet sheet(kSheetFile);
    if (!font.glyphs || sheet.FrameCount(kFish) == 0) return Fail("cannot read Media/font8x12.fon or Media/Sprites.bmp");

    new HelloWindow(&font, &sheet);  // the framework keeps it; Escape deletes it

    // Messages first; when none is waiting, one idle turn of every window (and a pass of the
    // Universe's tasks, of which hello has none). It ends when no window is left.
    const int exitCode = RunMessageLoop();
    DeleteAllWindows();  // after a WM_QUIT the window is still there
    return exitCode;
}
