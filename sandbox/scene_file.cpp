// Scene files, imported pictures and the scene folder.
#include "sandbox/scene_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "platform/win32.h"
#include "sandbox/storage.h"

namespace sandbox {

namespace {

constexpr char kRecordMagic[8] = {'O', 'n', 'd', 'r', 'e', 'l', 'S', 'n'};
constexpr uint32_t kRecordVersion = 1;
constexpr size_t kPixelBytes = static_cast<size_t>(kSceneWidth) * kSceneHeight;
constexpr size_t kTapBytes = 8;
constexpr size_t kSpanBytes = 13;
constexpr size_t kLargestFile = size_t{64} << 20;  // a scene of every possible span stays far below

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}
uint32_t Get16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

uint32_t Fnv1a(const uint8_t* p, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

// The headers as EncodeScene writes them, with `fileBytes` as bfSize (files of earlier versions
// gave the whole file's size there).
std::vector<uint8_t> Headers(uint32_t fileBytes = kSceneFileBitmapBytes) {
    std::vector<uint8_t> h;
    h.push_back('B');
    h.push_back('M');
    Put32(h, fileBytes);
    Put32(h, 0);
    Put32(h, kSceneFileHeaderBytes);
    Put32(h, 40);
    Put32(h, kSceneWidth);
    Put32(h, kSceneHeight);
    Put16(h, 1);
    Put16(h, 8);
    Put32(h, 0);
    Put32(h, static_cast<uint32_t>(kPixelBytes));
    Put32(h, 2835);
    Put32(h, 2835);
    Put32(h, 256);
    Put32(h, 256);
    return h;
}

std::string Why(const std::string& name, const char* what) { return name + ": " + what; }

// Whether the bytes begin with the headers of the scene's layout, with either bfSize.
bool SceneLayout(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < static_cast<size_t>(kSceneFileBitmapBytes)) return false;
    const std::vector<uint8_t> now = Headers(), before = Headers(static_cast<uint32_t>(bytes.size()));
    return std::equal(now.begin(), now.end(), bytes.begin()) || std::equal(before.begin(), before.end(), bytes.begin());
}

bool Fail(std::string* why, SceneFault* fault, const char* what, SceneFault kind) {
    *why = what;
    if (fault) *fault = kind;
    return false;
}

}  // namespace

std::vector<uint8_t> EncodeScene(const SceneState& scene, const uint8_t* palette) {
    const size_t size = kSceneFileHeaderBytes + kPixelBytes + kSceneFileRecordBytes + kTapBytes * scene.taps.size() +
                        kSpanBytes * scene.spans.size() + 4;
    std::vector<uint8_t> out = Headers();
    out.reserve(size);
    for (int i = 0; i < 256; ++i) {
        out.push_back(palette[3 * i + 2]);
        out.push_back(palette[3 * i + 1]);
        out.push_back(palette[3 * i]);
        out.push_back(0);
    }
    for (int32_t row = kSceneHeight - 1; row >= 0; --row) {
        const uint8_t* p = scene.pixels.data() + static_cast<size_t>(row) * kSceneWidth;
        out.insert(out.end(), p, p + kSceneWidth);
    }
    out.insert(out.end(), kRecordMagic, kRecordMagic + sizeof kRecordMagic);
    Put32(out, kRecordVersion);
    Put32(out, scene.step);
    Put32(out, static_cast<uint32_t>(scene.taps.size()));
    Put32(out, static_cast<uint32_t>(scene.spans.size()));
    for (const Tap& t : scene.taps) {
        Put32(out, static_cast<uint32_t>(t.x));
        Put32(out, static_cast<uint32_t>(t.y));
    }
    for (const WaterSpan& s : scene.spans) {
        Put32(out, static_cast<uint32_t>(s.x0));
        Put32(out, static_cast<uint32_t>(s.x1));
        Put32(out, static_cast<uint32_t>(s.y));
        out.push_back(s.active ? 1 : 0);
    }
    Put32(out, Fnv1a(out.data(), out.size()));
    return out;
}

bool DecodeScene(const std::vector<uint8_t>& bytes, SceneState* scene, std::string* why, SceneFault* fault) {
    const size_t fixed = kSceneFileHeaderBytes + kPixelBytes + kSceneFileRecordBytes + 4;
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return Fail(why, fault, "not a picture", SceneFault::NotABitmap);
    if (bytes.size() < fixed || bytes.size() > kLargestFile || !SceneLayout(bytes))
        return Fail(why, fault, "a picture, not a saved scene (File > Import image turns it into walls)", SceneFault::APicture);
    const uint8_t* record = bytes.data() + kSceneFileHeaderBytes + kPixelBytes;
    if (std::memcmp(record, kRecordMagic, sizeof kRecordMagic) != 0)
        return Fail(why, fault, "a picture, not a saved scene (File > Import image turns it into walls)", SceneFault::APicture);
    if (Get32(record + 8) != kRecordVersion)
        return Fail(why, fault, "a scene saved by another version of the sandbox", SceneFault::AnotherVersion);
    const uint64_t taps = Get32(record + 16);
    const uint64_t spans = Get32(record + 20);
    // 64-bit sums of 32-bit counts times small sizes cannot overflow.
    if (fixed + kTapBytes * taps + kSpanBytes * spans != bytes.size())
        return Fail(why, fault, "a damaged scene (it is cut short or has bytes too many)", SceneFault::Damaged);
    if (Fnv1a(bytes.data(), bytes.size() - 4) != Get32(bytes.data() + bytes.size() - 4))
        return Fail(why, fault, "a damaged scene (its bytes have changed since it was saved)", SceneFault::Damaged);
    SceneState s;
    s.step = Get32(record + 12);
    s.pixels.resize(kPixelBytes);
    const uint8_t* pixels = bytes.data() + kSceneFileHeaderBytes;
    for (int32_t row = 0; row < kSceneHeight; ++row)
        std::memcpy(s.pixels.data() + static_cast<size_t>(row) * kSceneWidth,
                    pixels + static_cast<size_t>(kSceneHeight - 1 - row) * kSceneWidth, kSceneWidth);
    const uint8_t* p = record + kSceneFileRecordBytes;
    for (uint64_t i = 0; i < taps; ++i, p += kTapBytes) {
        Tap t{static_cast<int32_t>(Get32(p)), static_cast<int32_t>(Get32(p + 4))};
        if (t.x < 0 || t.y < 0 || t.x >= kSceneWidth || t.y >= kSceneHeight)
            return Fail(why, fault, "a damaged scene (a tap outside the scene)", SceneFault::Damaged);
        s.taps.push_back(t);
    }
    for (uint64_t i = 0; i < spans; ++i, p += kSpanBytes) {
        WaterSpan w{static_cast<int32_t>(Get32(p)), static_cast<int32_t>(Get32(p + 4)), static_cast<int32_t>(Get32(p + 8)),
                    p[12]};
        if (w.x0 > w.x1 || w.active > 1) return Fail(why, fault, "a damaged scene (water of no cells)", SceneFault::Damaged);
        s.spans.push_back(w);
    }
    *scene = std::move(s);
    if (fault) *fault = SceneFault::None;
    return true;
}

bool ReadFileBytes(const std::string& name, std::vector<uint8_t>* bytes, std::string* why) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(name, error);
    if (error) {
        *why = Why(name, "cannot be read");
        return false;
    }
    if (size > kLargestFile) {
        *why = Why(name, "too large for a scene");
        return false;
    }
    FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) {
        *why = Why(name, "cannot be opened");
        return false;
    }
    bytes->resize(static_cast<size_t>(size));
    const bool ok = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size() && std::fgetc(file) == EOF;
    std::fclose(file);
    if (!ok) *why = Why(name, "changed while it was read");
    return ok;
}

bool WriteFileBytes(const std::string& name, const std::vector<uint8_t>& bytes, std::string* why) {
    const std::string part = name + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (!file) {
        *why = Why(name, "cannot be written");
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    std::error_code error;
    if (ok) std::filesystem::rename(part, name, error);
    if (!ok || error) {
        std::filesystem::remove(part, error);
        *why = Why(name, "cannot be written");
        return false;
    }
    FlushWebStorage();
    return true;
}

bool SaveSceneFile(const std::string& name, const SceneState& scene, std::string* why) {
    uint8_t palette[768];
    if (!CopyPalette(palette)) {
        *why = "no palette to save with";
        return false;
    }
    return WriteFileBytes(name, EncodeScene(scene, palette), why);
}

bool LoadSceneFile(const std::string& name, SceneState* scene, std::string* why, SceneFault* fault) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(name, &bytes, why)) {
        if (fault) *fault = SceneFault::Unreadable;
        return false;
    }
    std::string reason;
    if (DecodeScene(bytes, scene, &reason, fault)) return true;
    *why = Why(name, reason.c_str());
    return false;
}

bool ImportImage(const std::string& name, std::vector<bool>* light, std::string* why) {
    uint8_t table[768];
    uint8_t* tablePointer = table;
    std::vector<uint8_t> bytes;
    std::string unread;
    // A saved scene, of any version (earlier ones misstate bfSize for LoadBmp), is read as it lies:
    // rows bottom-up after the table.
    const bool ours = ReadFileBytes(name, &bytes, &unread) && SceneLayout(bytes);
    uint8_t* pixels = nullptr;
    HBITMAP image = nullptr;
    BITMAP size{};
    if (ours) {
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c) table[3 * i + c] = bytes[static_cast<size_t>(54 + 4 * i + 2 - c)];
        size.bmWidth = size.bmWidthBytes = kSceneWidth;
        size.bmHeight = kSceneHeight;
    } else {
        image = ReadBmpPalette(name.c_str(), &tablePointer) ? LoadBmp(name.c_str(), &pixels) : nullptr;
        if (!image || GetObjectA(image, static_cast<int>(sizeof size), &size) == 0 || size.bmWidth <= 0 || size.bmHeight <= 0) {
            if (image) DeleteObject(image);
            *why = Why(name, "not a picture the sandbox can read (an 8-bit bitmap, uncompressed)");
            return false;
        }
    }
    auto index = [&](int64_t row, int64_t column) -> uint8_t {
        if (ours) return bytes[static_cast<size_t>(kSceneFileHeaderBytes + (kSceneHeight - 1 - row) * kSceneWidth + column)];
        return pixels[row * size.bmWidthBytes + column];
    };
    // A saved scene's cells are what they were; a picture's light colours are empty.
    bool lightColour[256];
    for (int i = 0; i < 256; ++i) {
        const uint8_t* rgb = table + 3 * i;
        lightColour[i] = ours ? !IsWall(static_cast<uint8_t>(i)) : 299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2] >= 128 * 1000;
    }
    // Each cell of the scene takes the picture's pixel its position falls on, scaled down.
    light->assign(kPixelBytes, false);
    for (int32_t y = 0; y < kSceneHeight; ++y) {
        const int64_t row = static_cast<int64_t>(y) * size.bmHeight / kSceneHeight;
        for (int32_t x = 0; x < kSceneWidth; ++x) {
            const int64_t column = static_cast<int64_t>(x) * size.bmWidth / kSceneWidth;
            (*light)[static_cast<size_t>(y) * kSceneWidth + static_cast<size_t>(x)] = lightColour[index(row, column)];
        }
    }
    if (image) DeleteObject(image);
    return true;
}

std::string SceneFolder() {
    namespace fs = std::filesystem;
    fs::path folder;
#if defined(_WIN32)
    const char* appData = std::getenv("APPDATA");
    if (!appData || !*appData) return "";
    folder = fs::path(appData) / "Ondrel" / "scenes";
#elif defined(__EMSCRIPTEN__)
    OpenWebStorage();
    folder = "/scenes";
#else
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && *data) folder = fs::path(data) / "ondrel" / "scenes";
    else if (home && *home) folder = fs::path(home) / ".local" / "share" / "ondrel" / "scenes";
    else return "";
#endif
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) ? folder.string() : "";
}

std::string NewFileName(const std::string& folder, const std::string& stem, const std::string& extension) {
    namespace fs = std::filesystem;
    long largest = 0;
    std::error_code error;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, error)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(stem + "-", 0) != 0) continue;
        long n = std::strtol(name.c_str() + stem.size() + 1, nullptr, 10);
        largest = std::max(largest, n);
    }
    std::time_t now = std::time(nullptr);
    char date[16] = "0000-00-00";
    if (const std::tm* t = std::localtime(&now)) std::strftime(date, sizeof date, "%Y-%m-%d", t);
    char name[96];
    std::snprintf(name, sizeof name, "%s-%ld-%s.%s", stem.c_str(), largest + 1, date, extension.c_str());
    return (fs::path(folder) / name).string();
}

std::vector<std::string> BitmapFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code error;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, error)) {
        if (e.path().extension() != ".bmp" || !e.is_regular_file(error)) continue;
        found.emplace_back(e.last_write_time(error), e.path().string());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second > b.second; });
    std::vector<std::string> names;
    for (const auto& f : found) names.push_back(f.second);
    return names;
}

}  // namespace sandbox
