// Image files (gfx/image_files.h, Surface's file operations): the sprite sheet loaded from its
// BMP file, saved again in the system's temporary folder, loaded back from there and loaded
// scaled; and the palette the gallery took from the sheet's colour table. The files are read and
// written each time the page comes into view.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "gallery/gallery.h"
#include "gallery/pages.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"

namespace {

// Where the copy goes: the system's temporary folder, or the current folder when there is none.
std::string SavedFileName() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return ((error ? std::filesystem::path(".") : folder) / "ondrel-gallery.bmp").string();
}

// Whether two surfaces hold the same picture.
bool SamePixels(Surface& a, Surface& b) {
    int32_t aw = 0, ah = 0, bw = 0, bh = 0;
    a.GetSize(&aw, &ah);
    b.GetSize(&bw, &bh);
    const uint8_t* ap = a.GetPixels();
    const uint8_t* bp = b.GetPixels();
    bool same = ap && bp && aw == bw && ah == bh && std::memcmp(ap, bp, static_cast<size_t>(aw) * static_cast<size_t>(ah)) == 0;
    a.ReleasePixels(nullptr);
    b.ReleasePixels(nullptr);
    return same;
}

class FilesPage : public Page {
public:
    const char* Title() const override { return "Files"; }

    void Enter() override {
        savedName = SavedFileName();
        loaded = std::make_unique<Surface>(kGallerySheetFile);  // the extension picks the format
        saved = loaded->SaveToFile(savedName.c_str());
        reloaded = std::make_unique<Surface>(savedName.c_str());
        // LoadScaled fills a surface of the size wanted, whatever the file's size.
        scaled = std::make_unique<Surface>(104, 45);
        scaledOk = scaled->LoadScaled(savedName.c_str());
        same = SamePixels(*loaded, *reloaded);
    }

    void Leave() override {
        loaded.reset();
        reloaded.reset();
        scaled.reset();
    }

    void Draw(const PageTools& t) override {
        if (!loaded) return;  // not entered
        char line[128];
        int32_t width = 0, height = 0;

        loaded->GetSize(&width, &height);
        std::snprintf(line, sizeof line, "Surface from .\\Media\\Sprites.bmp: %d x %d", width, height);
        DrawCaption(t, 16, 44, line);
        DrawEnlarged(t.image, 16, 64, 3, loaded.get());

        DrawCaption(t, 16, 170, saved ? "SaveToFile wrote it to" : "SaveToFile could not write");
        DrawText(t.font, 16, 186, savedName.c_str(), t.image, kAccent, false, false);
        DrawCaption(t, 16, 206, same ? "and loaded back: the same pixels" : "and loaded back: NOT the same pixels");
        DrawEnlarged(t.image, 16, 226, 3, reloaded.get());

        DrawCaption(t, 16, 332, scaledOk ? "LoadScaled to 104 x 45" : "LoadScaled failed");
        DrawEnlarged(t.image, 16, 350, 1, scaled.get());

        // The palette, 16 rows of 16 swatches.
        DrawCaption(t, 432, 44, "LoadPaletteFromBmp");
        DrawCaption(t, 432, 262, "the sheet's colours");
        for (int i = 0; i < 256; ++i) {
            int32_t x = 432 + (i % 16) * 12;
            int32_t y = 64 + (i / 16) * 12;
            FillRect(t.image, x, y, x + 10, y + 10, static_cast<uint8_t>(i));
        }
    }

private:
    std::string savedName;
    std::unique_ptr<Surface> loaded, reloaded, scaled;
    bool saved = false;
    bool scaledOk = false;
    bool same = false;
};

}  // namespace

std::unique_ptr<Page> MakeFilesPage() { return std::make_unique<FilesPage>(); }
