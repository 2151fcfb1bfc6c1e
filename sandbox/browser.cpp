// The thumbnails of the scene folder.
#include "sandbox/browser.h"

#include <algorithm>
#include <filesystem>

#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"
#include "sandbox/scene_file.h"

namespace sandbox {

namespace {

constexpr uint8_t kFrameIndex = 8;  // dark grey: the thumbnails' frames, and a file that is not what is listed
constexpr uint8_t kCaptionIndex = 0;
constexpr int kCaptionGap = 8;  // at least this many pixels between one name and the next

}  // namespace

std::string Browser::Caption(const std::string& path, int cellWidth) {
    std::string name = std::filesystem::path(path).filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0) name.resize(name.size() - 4);
    const size_t fits = static_cast<size_t>((kThumbWidth - kCaptionGap) / std::max(cellWidth, 1));
    if (name.size() > fits) name = name.substr(0, fits >= 3 ? fits - 3 : 0) + "...";
    return name;
}

std::string Browser::Open(const std::string& folder, Kind listing) {
    files.clear();
    thumbs.clear();
    for (const std::string& name : BitmapFiles(folder)) {
        if (static_cast<int>(files.size()) == kThumbsShown) break;
        std::vector<uint8_t> big(static_cast<size_t>(kSceneWidth) * kSceneHeight, kFrameIndex);
        SceneState s;
        std::vector<bool> light;
        std::string why;
        if (listing == Kind::Scenes && LoadSceneFile(name, &s, &why)) {
            big = s.pixels;
        } else if (listing == Kind::Images && ImportImage(name, &light, &why)) {
            for (size_t i = 0; i < light.size(); ++i) big[i] = light[i] ? EmptyIndex : kWallIndex;
        }
        std::vector<uint8_t> thumb(static_cast<size_t>(kThumbWidth) * kThumbHeight);
        for (int y = 0; y < kThumbHeight; ++y)
            for (int x = 0; x < kThumbWidth; ++x)
                thumb[static_cast<size_t>(y) * kThumbWidth + static_cast<size_t>(x)] =
                    big[static_cast<size_t>(4 * y) * kSceneWidth + static_cast<size_t>(4 * x)];
        files.push_back(name);
        thumbs.push_back(std::move(thumb));
    }
    showing = true;
    kind = listing;
    const char* what = listing == Kind::Scenes ? "saved scenes" : "pictures to turn into walls";
    return files.empty() ? std::string("No ") + what + " yet (Esc: back)"
                         : std::string("Click one of your ") + what + " (Esc: back)";
}

const std::string* Browser::At(int32_t x, int32_t y) const {
    if (!showing || x < 0 || y < 0 || x >= kSceneWidth || y >= kSceneHeight) return nullptr;
    const size_t index = static_cast<size_t>(y / kThumbPitchY * 4 + x / kThumbWidth);
    return index < files.size() ? &files[index] : nullptr;
}

void Browser::Draw(Surface* view, const BitmapFont* font) const {
    FillRect(view, 0, 0, kSceneWidth - 1, kSceneHeight - 1, EmptyIndex);
    for (size_t i = 0; i < thumbs.size(); ++i) {
        const int left = static_cast<int>(i % 4) * kThumbWidth, top = static_cast<int>(i / 4) * kThumbPitchY;
        for (int y = 0; y < kThumbHeight; ++y)
            std::copy_n(thumbs[i].data() + static_cast<size_t>(y) * kThumbWidth, kThumbWidth,
                        view->pixels + static_cast<size_t>(top + y) * static_cast<size_t>(view->pitch) + static_cast<size_t>(left));
        DrawRect(view, left, top, left + kThumbWidth - 1, top + kThumbHeight - 1, kFrameIndex);
        DrawText(font, left + 1, top + kThumbHeight + 2, Caption(files[i], font->CellWidth()).c_str(), view, kCaptionIndex,
                 false, false);
    }
}

}  // namespace sandbox
