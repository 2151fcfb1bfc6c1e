// The sandbox's window: tools, time, undo, files and pictures in; one frame out at every idle turn.
#include "sandbox/sandbox_window.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/system.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"
#include "sandbox/scene_file.h"
#include "sandbox/storage.h"
#include "win/menu_bar.h"

namespace sandbox {

namespace {

const char* const kFileItems[] = {"Open...", "Save", "Import image...", "Screenshot", "Start/stop recording", "Quit", nullptr};
const char* const kEditItems[] = {"Undo", "Redo", "Clear scene", nullptr};
const char* const kToolsItems[] = {"Wall brush", "Eraser", "Straight wall", "Water brush", "Tap", "Fill",
                                   "Bigger brush", "Smaller brush", nullptr};
const char* const kTimeItems[] = {"Run/pause", "One step", "Faster", "Slower", nullptr};
const char* const kToolNames[] = {"Wall", "Eraser", "Line", "Water", "Tap", "Fill"};
// The keys of the tools, in Tool's order: Brush, Eraser, Line, Water, Tap, Fill.
constexpr int kToolKeys[] = {'B', 'E', 'L', 'W', 'T', 'F'};

// Colours drawn over the scene on the view only, never on the scene.
constexpr uint8_t kOutlineIndex = 4;   // red: the brush's outline, the taps
constexpr uint8_t kPreviewIndex = 8;   // dark grey: the straight wall being dragged
constexpr uint8_t kStatusBack = 0;
constexpr uint8_t kStatusText = 15;

// Frames between autosaves while the program runs: on the web only, which has no closing moment.
#if defined(__EMSCRIPTEN__)
constexpr int kAutosaveEveryFrames = 300;
#else
constexpr int kAutosaveEveryFrames = 0;
#endif

bool ControlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

SandboxWindow::SandboxWindow(const BitmapFont* sandboxFont, Scene* sandboxScene, std::string sceneFolder)
    : Window("Ondrel sandbox", kSceneWidth, kClientHeight, true, nullptr, false),
      font(sandboxFont),
      scene(sandboxScene),
      folder(std::move(sceneFolder)),
      view(kSceneWidth, kViewHeight),
      buttons(this) {
    AddMenu("File", kFileItems);
    AddMenu("Edit", kEditItems);
    AddMenu("Tools", kToolsItems);
    AddMenu("Time", kTimeItems);
    const char* captions[] = {"Wall", "Eraser", "Line", "Water", "Tap", "Fill", "Run/Pause", "Undo"};
    for (int i = 0; i < 8; ++i) {
        auto left = static_cast<short>(7 + i * kButtonPitch);
        buttons.AddButton(left, kButtonTop, static_cast<short>(left + kButtonWidth), kButtonTop + kButtonHeight, captions[i],
                          static_cast<short>(1 + i));
    }
    SelectTool(Tool::Wall);
    SetRunning(true);
    secondStart = TickCount();
    if (folder.empty()) {
        Say("no scene folder: saving, pictures and the autosave are off");
        return;
    }
    const std::string autosave = (std::filesystem::path(folder) / kAutosaveName).string();
    std::error_code error;
    if (!std::filesystem::exists(autosave, error)) return;
    SceneState kept;
    std::string why;
    if (LoadSceneFile(autosave, &kept, &why)) {
        scene->Restore(kept);
        Say("the scene of the last run: " + autosave);
    } else {
        Say(why);
    }
}

SandboxWindow::~SandboxWindow() {
    recording.Stop();
    Autosave();
}

void SandboxWindow::Autosave() {
    if (folder.empty()) return;
    std::string why;
    if (!SaveSceneFile((std::filesystem::path(folder) / kAutosaveName).string(), scene->Save(), &why))
        std::fprintf(stderr, "ondrel-sandbox: %s\n", why.c_str());
}

template <typename Edit>
bool SandboxWindow::RecordEdit(Edit edit) {
    SceneState before = scene->Save();
    if (!edit()) return false;
    history.BeforeEdit(before);
    return true;
}

void SandboxWindow::Say(const std::string& message) { status = message; }

void SandboxWindow::SelectTool(Tool t) {
    tool = t;
    for (int i = 0; i < kToolCount; ++i) menuBar->SetMenuCheck(kToolsMenu, i, i == static_cast<int>(t));
}

void SandboxWindow::SetBrush(int32_t size) { brush = std::clamp(size, kMinBrush, kMaxBrush); }

void SandboxWindow::SetRunning(bool on) {
    running = on;
    menuBar->SetMenuCheck(kTimeMenu, kRunItem, on);
}

void SandboxWindow::SetSpeed(int32_t stepsPerFrame) { speed = std::clamp(stepsPerFrame, 1, 16); }

void SandboxWindow::Undo() {
    SceneState now = scene->Save();
    if (!history.Undo(&now)) return Say("nothing to undo");
    scene->Restore(now);
    Say("undone");
}

void SandboxWindow::Redo() {
    SceneState now = scene->Save();
    if (!history.Redo(&now)) return Say("nothing to redo");
    scene->Restore(now);
    Say("redone");
}

void SandboxWindow::SaveScene() {
    if (folder.empty()) return Say("no scene folder to save in");
    const std::string name = NewFileName(folder, "scene", "bmp");
    std::string why;
    Say(SaveSceneFile(name, scene->Save(), &why) ? "saved " + name : why);
}

void SandboxWindow::Screenshot() {
    if (folder.empty()) return Say("no scene folder for pictures");
    uint8_t palette[768];
    CopyPalette(palette);
    const std::string name = NewFileName(folder, "screenshot", ScreenshotExtension());
    std::string why;
    if (!WriteScreenshot(name, scene->Pixels(), palette, &why)) return Say(why);
    OfferDownload(name.c_str());  // on the web, where the folder is inside the browser
    Say("screenshot " + name);
}

void SandboxWindow::ToggleRecording() {
    if (recording.On()) {
        const bool ok = recording.Stop();
        if (ok) OfferDownload(recording.Name().c_str());  // on the web, as a screenshot is
        Say(ok ? "recorded " + std::to_string(recording.Frames()) + " frames: " + recording.Name()
               : recording.Name() + ": the recording could not be written whole");
        return;
    }
    if (folder.empty()) return Say("no scene folder for recordings");
    uint8_t palette[768];
    CopyPalette(palette);
    std::string why;
    if (!recording.Start(NewFileName(folder, "recording", "gif"), palette, &why)) return Say(why);
    recordingStart = TickCount();
    recording.AddFrame(scene->Pixels(), 0);  // the scene as it stands, then one frame a frame that steps
    Say("recording into " + recording.Name() + " (R stops)");
}

void SandboxWindow::Browse(bool scenes) {
    if (folder.empty()) return Say("no scene folder");
    browsed.clear();
    thumbs.clear();
    for (const std::string& name : BitmapFiles(folder)) {
        if (static_cast<int>(browsed.size()) == kThumbsShown) break;
        // Every bitmap is listed; one that is not what the list is for shows dark and says why
        // when it is clicked.
        std::vector<uint8_t> big(static_cast<size_t>(kSceneWidth) * kSceneHeight, kPreviewIndex);
        SceneState s;
        std::vector<bool> light;
        std::string why;
        if (scenes && LoadSceneFile(name, &s, &why)) {
            big = s.pixels;
        } else if (!scenes && ImportImage(name, &light, &why)) {
            for (size_t i = 0; i < light.size(); ++i) big[i] = light[i] ? EmptyIndex : kWallIndex;
        }
        std::vector<uint8_t> thumb(static_cast<size_t>(kThumbWidth) * kThumbHeight);
        for (int y = 0; y < kThumbHeight; ++y)
            for (int x = 0; x < kThumbWidth; ++x)
                thumb[static_cast<size_t>(y) * kThumbWidth + static_cast<size_t>(x)] =
                    big[static_cast<size_t>(4 * y) * kSceneWidth + static_cast<size_t>(4 * x)];
        browsed.push_back(name);
        thumbs.push_back(std::move(thumb));
    }
    browsing = true;
    browsingScenes = scenes;
    const char* what = scenes ? "scenes" : "images (8-bit bitmaps)";
    Say(browsed.empty() ? std::string("no ") + what + " in " + folder + " (Esc: back)"
                        : std::string("click one of the ") + what + " of " + folder + " (Esc: back)");
}

void SandboxWindow::TakeBrowsed(int index) {
    if (index < 0 || index >= static_cast<int>(browsed.size())) return;
    browsing = false;
    const std::string name = browsed[static_cast<size_t>(index)];
    std::string why;
    if (browsingScenes) {
        SceneState loaded;
        if (!LoadSceneFile(name, &loaded, &why)) return Say(why);
        RecordEdit([&] { return scene->Restore(loaded); });
        Say("opened " + name);
    } else {
        std::vector<bool> light;
        if (!ImportImage(name, &light, &why)) return Say(why);
        RecordEdit([&] {
            scene->SetWalls(light);
            return true;
        });
        Say("imported " + name);
    }
}

void SandboxWindow::OnEvent(int kind, int code, int detail) {
    switch (kind) {
        case Button:
            if (code >= 1 && code <= kToolCount) SelectTool(static_cast<Tool>(code - 1));
            if (code == kRunButton) SetRunning(!running);
            if (code == kUndoButton) Undo();
            return;
        case Menu:
            OnMenu(code, detail);
            return;
        case Key:
            OnKey(code);
            return;
        case Mouse:
            OnMouse(code);
            return;
        case Wheel:
            // Away from the user: a bigger brush, a size a notch.
            wheelTurn += code;
            SetBrush(brush + wheelTurn / WHEEL_DELTA);
            wheelTurn %= WHEEL_DELTA;
            return;
        default:
            return;
    }
}

void SandboxWindow::OnMenu(int menu, int item) {
    if (menu == kFileMenu) {
        if (item == kOpenItem) Browse(true);
        if (item == kSaveItem) SaveScene();
        if (item == kImportItem) Browse(false);
        if (item == kScreenshotItem) Screenshot();
        if (item == kRecordItem) ToggleRecording();
        if (item == kQuitItem) delete this;
    } else if (menu == kEditMenu) {
        if (item == kUndoItem) Undo();
        if (item == kRedoItem) Redo();
        if (item == kClearItem) RecordEdit([&] {
            scene->Clear();
            return true;
        });
    } else if (menu == kToolsMenu) {
        if (item < kToolCount) SelectTool(static_cast<Tool>(item));
        if (item == kBiggerItem) SetBrush(brush + 1);
        if (item == kSmallerItem) SetBrush(brush - 1);
    } else if (menu == kTimeMenu) {
        if (item == kRunItem) SetRunning(!running);
        if (item == kStepItem) ++pendingSteps;
        if (item == kFasterItem) SetSpeed(speed * 2);
        if (item == kSlowerItem) SetSpeed(speed / 2);
    }
}

void SandboxWindow::OnKey(int code) {
    if (code == VK_ESCAPE) {
        if (browsing) {
            browsing = false;
            Say("");
            return;
        }
        delete this;  // the registry forgets it; the loop ends with no window left
        return;
    }
    if (ControlDown()) {
        if (code == 'Z') Undo();
        if (code == 'Y') Redo();
        if (code == 'S') SaveScene();
        if (code == 'O') Browse(true);
        if (code == 'I') Browse(false);
        return;
    }
    for (int i = 0; i < kToolCount; ++i)
        if (code == kToolKeys[i]) SelectTool(static_cast<Tool>(i));
    switch (code) {
        case VK_SPACE: SetRunning(!running); return;
        case 'N': ++pendingSteps; return;
        case VK_ADD: SetSpeed(speed * 2); return;
        case VK_SUBTRACT: SetSpeed(speed / 2); return;
        case VK_OEM_6: case VK_PRIOR: SetBrush(brush + 1); return;
        case VK_OEM_4: case VK_NEXT: SetBrush(brush - 1); return;
        case 'C':
            RecordEdit([&] {
                scene->Clear();
                return true;
            });
            return;
        case 'P': Screenshot(); return;
        case 'R': ToggleRecording(); return;
        default: return;
    }
}

void SandboxWindow::OnMouse(int code) {
    // Positions left of or above the client area arrive as large numbers (16 bits unsigned):
    // strokes that leave the scene end just past its edge.
    const int32_t x = std::min(mouseX, kSceneWidth + kMaxBrush), y = std::min(mouseY, kSceneHeight + kMaxBrush);
    if (browsing) {
        if (code == LeftDown && y < kSceneHeight) TakeBrowsed(y / kThumbPitchY * 4 + x / kThumbWidth);
        return;
    }
    const bool onScene = x < kSceneWidth && y < kSceneHeight;
    if (code == LeftDown && onScene) {
        lastX = x;
        lastY = y;
        switch (tool) {
            case Tool::Wall:
            case Tool::Eraser:
                dragging = RecordEdit([&] {
                    scene->Stroke(x, y, x, y, brush, tool == Tool::Wall ? kWallIndex : EmptyIndex);
                    return true;
                });
                return;
            case Tool::Line:
                dragging = true;
                return;
            case Tool::Water:
                dragging = RecordEdit([&] {
                    scene->SetPour(true, x, y, brush);
                    return true;
                });
                return;
            case Tool::Tap:
                if (!RecordEdit([&] { return scene->AddTap(x, y); })) Say("a tap is there already");
                return;
            case Tool::Fill: {
                std::string why;
                if (RecordEdit([&] { return scene->Fill(x, y, &why); })) Say("filled");
                else Say(why);
                return;
            }
        }
    }
    if (!dragging) return;
    if (code == Move) {
        if (tool == Tool::Wall || tool == Tool::Eraser) {
            scene->Stroke(lastX, lastY, x, y, brush, tool == Tool::Wall ? kWallIndex : EmptyIndex);
            lastX = x;
            lastY = y;
        }
        if (tool == Tool::Water) scene->SetPour(true, x, y, brush);
    }
    if (code == LeftUp) {
        dragging = false;
        if (tool == Tool::Line) RecordEdit([&] {
            scene->Stroke(lastX, lastY, x, y, brush, kWallIndex);
            return true;
        });
        if (tool == Tool::Water) scene->SetPour(false, x, y, brush);
    }
}

void SandboxWindow::OnIdle() {
    int steps = running ? speed : pendingSteps;
    pendingSteps = 0;
    if (!browsing)
        for (int i = 0; i < steps; ++i) scene->Step();
    else
        steps = 0;

    const uint32_t now = TickCount();
    stepsThisSecond += static_cast<uint32_t>(steps);
    if (now - secondStart >= 1000) {
        stepsPerSecond = stepsThisSecond * 1000 / (now - secondStart);
        stepsThisSecond = 0;
        secondStart = now;
    }
    if (recording.On() && steps > 0) recording.AddFrame(scene->Pixels(), now - recordingStart);

    if (kAutosaveEveryFrames && ++framesSinceAutosave >= kAutosaveEveryFrames) {
        framesSinceAutosave = 0;
        Autosave();
    }
    if (browsing) DrawBrowser();
    else DrawView();
    DrawStatus();
    view.Present(this);  // in a real window this waits for the display's refresh
}

void SandboxWindow::DrawView() {
    std::copy(scene->Pixels(), scene->Pixels() + static_cast<size_t>(kSceneWidth) * kSceneHeight, view.pixels);
    for (const Tap& t : scene->Taps()) {
        DrawRect(&view, t.x - 2, t.y - 2, t.x + 2, t.y + 2, kOutlineIndex);
        SetPixel(&view, t.x, t.y, kOutlineIndex);
    }
    const int32_t x = mouseX, y = mouseY;
    if (x >= kSceneWidth || y >= kSceneHeight) return;
    if (tool == Tool::Line && dragging) DrawLine(&view, lastX, lastY, x, y, kPreviewIndex);
    if (tool == Tool::Tap || tool == Tool::Fill) {
        DrawLine(&view, x - 3, y, x + 3, y, kOutlineIndex);
        DrawLine(&view, x, y - 3, x, y + 3, kOutlineIndex);
        return;
    }
    if (tool == Tool::Water) {
        DrawRect(&view, BrushLeft(x, brush), y - 1, BrushRight(x, brush), y + 1, kOutlineIndex);
        return;
    }
    // The brush's outline: its cells that have a side on a cell outside it.
    std::vector<uint8_t> mask(static_cast<size_t>(brush + 2) * static_cast<size_t>(brush + 2), 0);
    const int32_t left = x - brush / 2 - 1, top = y - brush / 2 - 1;
    auto in = [&](int32_t cx, int32_t cy) { return mask[static_cast<size_t>(cy - top) * static_cast<size_t>(brush + 2) + static_cast<size_t>(cx - left)] != 0; };
    ForBrushCells(x, y, brush, [&](int32_t cx, int32_t cy) {
        mask[static_cast<size_t>(cy - top) * static_cast<size_t>(brush + 2) + static_cast<size_t>(cx - left)] = 1;
    });
    ForBrushCells(x, y, brush, [&](int32_t cx, int32_t cy) {
        if (!in(cx - 1, cy) || !in(cx + 1, cy) || !in(cx, cy - 1) || !in(cx, cy + 1)) SetPixel(&view, cx, cy, kOutlineIndex);
    });
}

void SandboxWindow::DrawBrowser() {
    FillRect(&view, 0, 0, kSceneWidth - 1, kSceneHeight - 1, EmptyIndex);
    for (size_t i = 0; i < thumbs.size(); ++i) {
        const int left = static_cast<int>(i % 4) * kThumbWidth, top = static_cast<int>(i / 4) * kThumbPitchY;
        for (int y = 0; y < kThumbHeight; ++y)
            std::copy_n(thumbs[i].data() + static_cast<size_t>(y) * kThumbWidth, kThumbWidth,
                        view.pixels + static_cast<size_t>(top + y) * kSceneWidth + static_cast<size_t>(left));
        DrawRect(&view, left, top, left + kThumbWidth - 1, top + kThumbHeight - 1, kPreviewIndex);
        std::string caption = FileName(browsed[i]).substr(0, static_cast<size_t>(kThumbWidth / font->CellWidth()));
        DrawText(font, left + 1, top + kThumbHeight + 2, caption.c_str(), &view, kStatusBack, false, false);
    }
}

void SandboxWindow::DrawStatus() {
    FillRect(&view, 0, kStatusTop, kSceneWidth - 1, kViewHeight - 1, kStatusBack);
    char line[160];
    std::snprintf(line, sizeof line, "step %u  spans %d  water %d  %u steps/s  x%d %s", scene->StepNumber(),
                  static_cast<int>(scene->SpanCount()), static_cast<int>(scene->WaterCells()), stepsPerSecond,
                  static_cast<int>(speed), running ? "running" : "paused");
    DrawText(font, 4, kStatusTop + 1, line, &view, kStatusText, false, false);
    std::snprintf(line, sizeof line, "%s %d%s | %s", kToolNames[static_cast<int>(tool)], static_cast<int>(brush),
                  recording.On() ? " REC" : "", status.c_str());
    DrawText(font, 4, kStatusTop + 14, line, &view, kStatusText, false, false);
}

}  // namespace sandbox
