// paint: drawing with the mouse. It shows
//   - mouse input: OnEvent(Mouse, LeftDown / Move / LeftUp) with the pointer in mouseX, mouseY
//     (client pixels, below the menu bar);
//   - a picture kept in a surface of its own and drawn on with DrawLine, under a clip rectangle;
//   - a row of the 16 first palette colours along the bottom, 40 pixels a colour: a click picks
//     the colour the next strokes draw in (black at the start);
//   - a menu bar (AddMenu) with Picture > Save, which writes the picture as an 8-bit BMP file,
//     paint.bmp in the current folder, Clear, which makes it white again, and Quit;
//   - a status line in the bitmap font saying what the last Save did.
// It reads the default palette and font (Media/) as hello does.
#include <cstdio>

#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/palette.h"
#include "gfx/surface.h"
#include "platform/program_folder.h"
#include "win/window.h"

namespace {

constexpr const char* kPaletteFile = ".\\Media\\Sprites.bmp";
constexpr const char* kFontFile = ".\\Media\\font8x12.fon";
constexpr const char* kSaveFile = "paint.bmp";

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kRowTop = 456;  // the colour row: 16 swatches, 40 × 24 pixels each
constexpr int kSwatchWidth = 40;

// The items of the menu "Picture", in order.
const char* const kPictureItems[] = {"Save", "Clear", "Quit", nullptr};
enum PictureItem { kSave = 0, kClear = 1, kQuit = 2 };

class PaintWindow : public Window {
public:
    explicit PaintWindow(const BitmapFont* paintFont)
        : Window("Ondrel paint", kWidth, kHeight, /*noBackground=*/true, /*owner=*/nullptr, /*fullscreen=*/false),
          font(paintFont),
          picture(kWidth, kRowTop),
          image(kWidth, kHeight) {
        AddMenu("Picture", kPictureItems);
        picture.Clear(colour::kWhite);
    }

    void OnEvent(int kind, int code, int detail) override {
        if (kind == Key && code == VK_ESCAPE) delete this;
        if (kind == Menu && detail == kSave) Save();
        if (kind == Menu && detail == kClear) picture.Clear(colour::kWhite);
        if (kind == Menu && detail == kQuit) delete this;
        if (kind == Mouse) OnMouse(code);
    }

    void OnIdle() override {
        CopyRect(&image, 0, 0, kWidth - 1, kRowTop - 1, &picture);
        FillRect(&image, 0, kRowTop, kWidth - 1, kHeight - 1, colour::kDarkGrey);
        for (int c = 0; c < 16; ++c) {
            const int left = c * kSwatchWidth;
            FillRect(&image, left + 2, kRowTop + 2, left + kSwatchWidth - 3, kHeight - 3, static_cast<uint8_t>(c));
            if (c == picked) DrawRect(&image, left, kRowTop, left + kSwatchWidth - 1, kHeight - 1, colour::kWhite);
        }
        if (status) DrawText(font, 8, kRowTop - 20, status, &image, colour::kBlack, /*centred=*/false, /*boxed=*/true);
        image.Present(this);
    }

private:
    void OnMouse(int code) {
        const int x = mouseX, y = mouseY;
        if (code == LeftDown && y >= kRowTop) {
            picked = x / kSwatchWidth;  // a click in the row picks a colour
        } else if (code == LeftDown) {
            drawing = true;
            SetPixel(&picture, x, y, static_cast<uint8_t>(picked));
        } else if (code == Move && drawing) {
            DrawLine(&picture, lastX, lastY, x, y, static_cast<uint8_t>(picked));  // clipped to the picture
        } else if (code == LeftUp) {
            drawing = false;
        }
        lastX = x;
        lastY = y;
    }

    void Save() {
        // The file's colour table is the process palette; its pixels the picture's indices.
        // A name ending in .bmp makes SaveToFile write a BMP; any other, the framework's raw format.
        status = picture.SaveToFile(kSaveFile) ? "Saved paint.bmp" : "Cannot write paint.bmp here";
    }

    const BitmapFont* font;
    Surface picture;  // what the strokes draw on
    Surface image;    // the picture, the colour row and the status, presented each idle turn
    int picked = colour::kBlack;  // the colour the strokes draw in
    bool drawing = false;
    int lastX = 0, lastY = 0;
    const char* status = nullptr;
};

}  // namespace

// The files the program opens; the platform makes the folder that holds them current.
const char* const kProgramFiles[] = {kPaletteFile, kFontFile, nullptr};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    BitmapFont font(8, 12, kFontFile);
    if (!LoadPaletteFromBmp(kPaletteFile) || !font.glyphs) {
        std::fputs("paint: cannot read Media/Sprites.bmp (the palette) or Media/font8x12.fon\n", stderr);
        return 1;
    }
    new PaintWindow(&font);
    const int exitCode = RunMessageLoop();  // until no window is left
    DeleteAllWindows();
    return exitCode;
}
