// The sandbox's window: tools, time, undo, files and pictures in; one frame out at every idle turn.
#include "sandbox/sandbox_window.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/system.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"
#include "sandbox/scene_file.h"
#include "sandbox/storage.h"
#include "win/menu_bar.h"

namespace sandbox {

namespace {

// Colours drawn over the scene on the view only, never on the scene.
constexpr uint8_t kOutlineIndex = 4;   // red: the brush's outline, the taps
constexpr uint8_t kPreviewIndex = 8;   // dark grey: the straight wall being dragged
constexpr uint8_t kStatusBack = 0;
constexpr uint8_t kStatusText = 15;
constexpr int kStatusLeft = 4;

// Frames between autosaves while the program runs: on the web only, which has no closing moment.
#if defined(__EMSCRIPTEN__)
constexpr int kAutosaveEveryFrames = 300;
#else
constexpr int kAutosaveEveryFrames = 0;
#endif

constexpr const char* kWelcome = "Welcome! Drag to draw walls; T places a tap, W pours. Space: pause";

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// A reason as the player reads it: the files of the scene folder by their names alone.
std::string Words(std::string why, const std::string& folder) {
    if (folder.empty()) return why;
    const std::string prefix = (std::filesystem::path(folder) / "").string();
    for (size_t at; (at = why.find(prefix)) != std::string::npos;) why.erase(at, prefix.size());
    return why;
}

// A row of the status line as it fits the window: cut, with "...", where it would run off.
std::string Fitted(std::string text, int cellWidth) {
    const size_t fits = static_cast<size_t>((kSceneWidth - kStatusLeft) / std::max(cellWidth, 1));
    if (text.size() > fits) text = text.substr(0, fits - 3) + "...";
    return text;
}

}  // namespace

SandboxWindow::SandboxWindow(const BitmapFont* sandboxFont, Scene* sandboxScene, std::string sceneFolder)
    : Window("Ondrel sandbox", kSceneWidth, kClientHeight, true, nullptr, false),
      font(sandboxFont),
      scene(sandboxScene),
      folder(std::move(sceneFolder)),
      view(kSceneWidth, kViewHeight),
      buttons(this) {
    // The menus: each item with its key beside it, as Win32 menus show a shortcut after a tab.
    for (int m = 0; m < kMenuCount; ++m) {
        std::vector<std::string> texts;
        for (const MenuEntry& e : MenuEntries(static_cast<MenuTitle>(m))) {
            if (e.isTool) {
                texts.push_back(std::string(ControlOf(e.tool).name) + "\t" + KeyName(ControlOf(e.tool).key, false));
            } else {
                const CommandControl& c = ControlOf(e.command);
                texts.push_back(std::string(c.text) + "\t" + KeyName(c.key, c.control));
            }
        }
        std::vector<const char*> items;
        for (const std::string& t : texts) items.push_back(t.c_str());
        items.push_back(nullptr);
        AddMenu(kMenuTitles[m], items.data());
    }
    // The buttons: the tools' show the one picked, Run/Pause's whether time runs.
    auto place = [](int p) { return static_cast<short>(ButtonLeft(p)); };
    for (const ToolControl& t : kTools) {
        const short left = place(ButtonPlace(t.tool));
        buttons.AddCheckButton(left, kButtonTop, static_cast<short>(left + kButtonWidth), kButtonTop + kButtonHeight, t.caption,
                               ButtonOf(t.tool));
    }
    for (const CommandControl& c : kCommands) {
        if (!c.button) continue;
        const short left = place(ButtonPlace(c.command));
        const short right = static_cast<short>(left + kButtonWidth);
        if (c.command == Command::Run)
            buttons.AddCheckButton(left, kButtonTop, right, kButtonTop + kButtonHeight, c.caption, ButtonOf(c.command));
        else
            buttons.AddButton(left, kButtonTop, right, kButtonTop + kButtonHeight, c.caption, ButtonOf(c.command));
    }
    SelectTool(Tool::Wall);
    SetRunning(true);
    secondStart = TickCount();
    if (folder.empty()) {
        Say("Saving is off: there is no folder to keep scenes in", 0);
        return;
    }
    const std::string autosave = (std::filesystem::path(folder) / kAutosaveName).string();
    std::error_code error;
    if (!std::filesystem::exists(autosave, error)) {
        Say(kWelcome, 0);
        welcoming = true;
        return;
    }
    SceneState kept;
    std::string why;
    if (LoadSceneFile(autosave, &kept, &why)) {
        scene->Restore(kept);
        Say("Here is your scene from last time");
    } else {
        Say("Your last scene could not be opened: " + Words(why, folder));
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

void SandboxWindow::Say(const std::string& text, uint32_t lasting) {
    message = text;
    messageSaid = TickCount();
    messageLasts = lasting;
    welcoming = false;
}

std::string SandboxWindow::Status() const {
    const bool live = !message.empty() && (messageLasts == 0 || TickCount() - messageSaid < messageLasts);
    return live ? message : ControlOf(tool).hint;
}

void SandboxWindow::SelectTool(Tool t) {
    tool = t;
    for (const ToolControl& each : kTools) {
        const MenuPlace at = PlaceOf(each.tool);
        menuBar->SetMenuCheck(at.menu, at.item, each.tool == t);
        buttons.SetButtonCheck(ButtonOf(each.tool), each.tool == t);
    }
}

void SandboxWindow::SetBrush(int32_t size) { brush = std::clamp(size, kMinBrush, kMaxBrush); }

void SandboxWindow::SetRunning(bool on) {
    running = on;
    const MenuPlace at = PlaceOf(Command::Run);
    menuBar->SetMenuCheck(at.menu, at.item, on);
    buttons.SetButtonCheck(ButtonOf(Command::Run), on);
    // Steps per second are measured afresh from here.
    secondStart = TickCount();
    stepsThisSecond = 0;
    stepsPerSecond = 0;
}

void SandboxWindow::SetSpeed(int32_t stepsPerFrame) { speed = std::clamp(stepsPerFrame, 1, 16); }

void SandboxWindow::Do(Command command) {
    switch (command) {
        case Command::Open: return Browse(Browser::Kind::Scenes);
        case Command::Save: return SaveScene();
        case Command::Import: return Browse(Browser::Kind::Images);
        case Command::Screenshot: return Screenshot();
        case Command::Record: return ToggleRecording();
        case Command::Quit: delete this; return;  // the registry forgets it; the loop ends with no window left
        case Command::Undo: return Undo();
        case Command::Redo: return Redo();
        case Command::Clear:
            RecordEdit([&] {
                scene->Clear();
                return true;
            });
            return Say("Cleared (Ctrl+Z brings it back)");
        case Command::Bigger: return SetBrush(brush + 1);
        case Command::Smaller: return SetBrush(brush - 1);
        case Command::Run: return SetRunning(!running);
        case Command::Step: ++pendingSteps; return;
        case Command::Faster: return SetSpeed(speed * 2);
        case Command::Slower: return SetSpeed(speed / 2);
    }
}

void SandboxWindow::Undo() {
    SceneState now = scene->Save();
    if (!history.Undo(&now)) return Say("Nothing to undo");
    scene->Restore(now);
    Say("Undone (Ctrl+Y redoes)");
}

void SandboxWindow::Redo() {
    SceneState now = scene->Save();
    if (!history.Redo(&now)) return Say("Nothing to redo");
    scene->Restore(now);
    Say("Redone");
}

void SandboxWindow::SaveScene() {
    if (folder.empty()) return Say("Saving is off: there is no folder to keep scenes in");
    const std::string name = NewFileName(folder, "scene", "bmp");
    std::string why;
    Say(SaveSceneFile(name, scene->Save(), &why) ? "Saved as " + FileName(name) + " (Ctrl+O opens it)" : "Not saved: " + Words(why, folder));
}

void SandboxWindow::Screenshot() {
    if (folder.empty()) return Say("Pictures are off: there is no folder to keep them in");
    uint8_t palette[768];
    CopyPalette(palette);
    const std::string name = NewFileName(folder, "screenshot", ScreenshotExtension());
    std::string why;
    if (!WriteScreenshot(name, scene->Pixels(), palette, &why)) return Say("No screenshot: " + Words(why, folder));
    OfferDownload(name.c_str());  // on the web, where the folder is inside the browser
    Say("Screenshot saved as " + FileName(name));
}

void SandboxWindow::ToggleRecording() {
    if (recording.On()) {
        const bool ok = recording.Stop();
        if (ok) OfferDownload(recording.Name().c_str());  // on the web, as a screenshot is
        Say(ok ? "Recorded " + std::to_string(recording.Frames()) + " frames as " + FileName(recording.Name())
               : "The recording could not be written whole: " + FileName(recording.Name()));
        return;
    }
    if (!Recording::Available()) return Say("Recording is not available in this version");
    if (folder.empty()) return Say("Recording is off: there is no folder to keep it in");
    uint8_t palette[768];
    CopyPalette(palette);
    std::string why;
    if (!recording.Start(NewFileName(folder, "recording", "gif"), palette, &why)) return Say("Not recording: " + Words(why, folder));
    recordingStart = TickCount();
    recording.AddFrame(scene->Pixels(), 0);  // the scene as it stands, then one frame a frame that steps
    Say("Recording into " + FileName(recording.Name()) + " (R stops)", 0);
}

void SandboxWindow::Browse(Browser::Kind kind) {
    if (folder.empty()) return Say("There is no folder of scenes to look in");
    Say(browser.Open(folder, kind), 0);
}

void SandboxWindow::TakeBrowsed(const std::string& name) {
    browser.Close();
    std::string why;
    if (browser.Listing() == Browser::Kind::Scenes) {
        SceneState loaded;
        if (!LoadSceneFile(name, &loaded, &why)) return Say("Not opened: " + Words(why, folder));
        RecordEdit([&] { return scene->Restore(loaded); });
        return Say("Opened " + FileName(name));
    }
    std::vector<bool> light;
    if (!ImportImage(name, &light, &why)) return Say("Not imported: " + Words(why, folder));
    RecordEdit([&] {
        scene->SetWalls(light);
        return true;
    });
    Say("Imported the walls of " + FileName(name));
}

void SandboxWindow::OnEvent(int kind, int code, int detail) {
    switch (kind) {
        case Button:
            return OnButton(code);
        case Menu:
            return OnMenu(code, detail);
        case Key:
            return OnKey(code);
        case Mouse:
            return OnMouse(code);
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

void SandboxWindow::OnButton(int id) {
    for (const ToolControl& t : kTools)
        if (id == ButtonOf(t.tool)) return SelectTool(t.tool);
    for (const CommandControl& c : kCommands)
        if (c.button && id == ButtonOf(c.command)) return Do(c.command);
}

void SandboxWindow::OnMenu(int menu, int item) {
    if (menu < 0 || menu >= kMenuCount) return;
    const std::vector<MenuEntry> entries = MenuEntries(static_cast<MenuTitle>(menu));
    if (item < 0 || item >= static_cast<int>(entries.size())) return;
    const MenuEntry& e = entries[static_cast<size_t>(item)];
    if (e.isTool) return SelectTool(e.tool);
    Do(e.command);
}

void SandboxWindow::OnKey(int code) {
    if (code == VK_ESCAPE && browser.Showing()) {
        browser.Close();
        return Say("");
    }
    // Ctrl as it was when this key went down, however quickly it was let go.
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (!control)
        for (const ToolControl& t : kTools)
            if (code == t.key) return SelectTool(t.tool);
    for (const CommandControl& c : kCommands)
        if ((code == c.key && control == c.control) || (!control && c.otherKey && code == c.otherKey)) return Do(c.command);
}

void SandboxWindow::OnMouse(int code) {
    // Positions left of or above the client area arrive as large numbers (16 bits unsigned):
    // strokes that leave the scene end just past its edge.
    const int32_t x = std::min(mouseX, kSceneWidth + kMaxBrush), y = std::min(mouseY, kSceneHeight + kMaxBrush);
    if (browser.Showing()) {
        if (code != LeftDown) return;
        if (const std::string* name = browser.At(x, y)) TakeBrowsed(*name);
        return;
    }
    const bool onScene = x < kSceneWidth && y < kSceneHeight;
    if (code == LeftDown && onScene) {
        if (welcoming) Say("");
        lastX = x;
        lastY = y;
        std::string why;
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
                if (!RecordEdit([&] { return scene->AddTap(x, y, &why); })) Say("No tap: " + why);
                return;
            case Tool::Fill:
                if (!RecordEdit([&] { return scene->Fill(x, y, &why); })) Say("No fill: " + why);
                return;
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
    if (browser.Showing()) steps = 0;
    for (int i = 0; i < steps; ++i) scene->Step();

    const uint32_t now = TickCount();
    if (running) {
        stepsThisSecond += static_cast<uint32_t>(steps);
        if (now - secondStart >= 1000) {
            stepsPerSecond = stepsThisSecond * 1000 / (now - secondStart);
            stepsThisSecond = 0;
            secondStart = now;
        }
    }
    if (recording.On() && steps > 0) recording.AddFrame(scene->Pixels(), now - recordingStart);

    if (kAutosaveEveryFrames && ++framesSinceAutosave >= kAutosaveEveryFrames) {
        framesSinceAutosave = 0;
        Autosave();
    }
    if (browser.Showing()) browser.Draw(&view, font);
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
    if (tool == Tool::Line && dragging) {
        // Exactly the cells the wall will take.
        const int32_t toX = std::min(x, kSceneWidth + kMaxBrush), toY = std::min(y, kSceneHeight + kMaxBrush);
        ForStrokeCells(lastX, lastY, toX, toY, brush, [&](int32_t cx, int32_t cy) {
            if (cy < kSceneHeight) SetPixel(&view, cx, cy, kPreviewIndex);
        });
        return;
    }
    if (x >= kSceneWidth || y >= kSceneHeight) return;
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
    auto at = [&](int32_t cx, int32_t cy) -> uint8_t& {
        return mask[static_cast<size_t>(cy - top) * static_cast<size_t>(brush + 2) + static_cast<size_t>(cx - left)];
    };
    ForBrushCells(x, y, brush, [&](int32_t cx, int32_t cy) { at(cx, cy) = 1; });
    ForBrushCells(x, y, brush, [&](int32_t cx, int32_t cy) {
        if (!at(cx - 1, cy) || !at(cx + 1, cy) || !at(cx, cy - 1) || !at(cx, cy + 1)) SetPixel(&view, cx, cy, kOutlineIndex);
    });
}

void SandboxWindow::DrawStatus() {
    FillRect(&view, 0, kStatusTop, kSceneWidth - 1, kViewHeight - 1, kStatusBack);
    char line[160];
    std::snprintf(line, sizeof line, "step %u  spans %d  water %d  %u steps/s  x%d %s", scene->StepNumber(),
                  static_cast<int>(scene->SpanCount()), static_cast<int>(scene->WaterCells()), StepsPerSecond(),
                  static_cast<int>(speed), running ? "running" : "paused");
    DrawText(font, kStatusLeft, kStatusTop + 1, Fitted(line, font->CellWidth()).c_str(), &view, kStatusText, false, false);
    std::snprintf(line, sizeof line, "%s %d%s | ", ControlOf(tool).caption, static_cast<int>(brush), recording.On() ? " REC" : "");
    DrawText(font, kStatusLeft, kStatusTop + 14, Fitted(line + Status(), font->CellWidth()).c_str(), &view, kStatusText, false,
             false);
}

}  // namespace sandbox
