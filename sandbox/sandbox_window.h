// The sandbox's window: the scene with the pointer's brush and the taps drawn over it, a status
// line of two rows, a row of push buttons for the tools and a menu bar. The scene runs
// `speed` steps at every idle turn while it runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "sandbox/history.h"
#include "sandbox/pictures.h"
#include "sandbox/scene.h"
#include "win/button_group.h"
#include "win/window.h"

class BitmapFont;

namespace sandbox {

enum class Tool { Wall, Eraser, Line, Water, Tap, Fill };
constexpr int kToolCount = 6;

// The client area: the scene at the top left, the status rows under it, the buttons at the
// bottom (the presented picture stops above them).
constexpr int kStatusTop = kSceneHeight;
constexpr int kViewHeight = kStatusTop + 28;
constexpr int kButtonTop = kViewHeight + 4;
constexpr int kButtonHeight = 26;
constexpr int kClientHeight = kButtonTop + kButtonHeight + 4;
constexpr int kButtonWidth = 72;
constexpr int kButtonPitch = 79;  // 8 buttons, 7 pixels apart and from the edges
// The thumbnails of File > Open and File > Import image: a quarter of the scene each, 4 × 3.
constexpr int kThumbWidth = kSceneWidth / 4;
constexpr int kThumbHeight = kSceneHeight / 4;
constexpr int kThumbPitchY = kThumbHeight + 16;
constexpr int kThumbsShown = 12;

class SandboxWindow : public Window {
public:
    enum MenuIndex { kFileMenu = 0, kEditMenu = 1, kToolsMenu = 2, kTimeMenu = 3 };
    enum FileItem { kOpenItem, kSaveItem, kImportItem, kScreenshotItem, kRecordItem, kQuitItem };
    enum EditItem { kUndoItem, kRedoItem, kClearItem };
    // Tools menu: the tools in Tool's order, then:
    enum ToolsItem { kBiggerItem = kToolCount, kSmallerItem };
    enum TimeItem { kRunItem, kStepItem, kFasterItem, kSlowerItem };
    // Button ids: 1 + a tool, then these.
    static constexpr short kRunButton = 1 + kToolCount;
    static constexpr short kUndoButton = 2 + kToolCount;

    // The font and the scene stay the caller's and must outlive the window. `folder` is where
    // scenes, screenshots and recordings go (SceneFolder()); empty: nowhere, the status says so.
    // When the folder holds an autosave, the window starts on it.
    SandboxWindow(const BitmapFont* font, Scene* scene, std::string folder);
    // Keeps the scene in the folder's autosave, for the next start. (A web page is not told when
    // it is closed: there the autosave is also written every few seconds.)
    ~SandboxWindow() override;

    void OnEvent(int kind, int code, int detail) override;
    void OnIdle() override;

    void SelectTool(Tool t);
    void SetBrush(int32_t size);
    void SetRunning(bool on);
    void SetSpeed(int32_t stepsPerFrame);  // 1, 2, 4, 8 or 16
    void Undo();
    void Redo();
    void SaveScene();
    void Screenshot();
    void ToggleRecording();
    // File > Open (scenes) and File > Import image (any other bitmap) show the folder's files as
    // thumbnails; a click takes one, Escape goes back.
    void Browse(bool scenes);

    Tool tool = Tool::Wall;
    int32_t brush = 4;
    bool running = true;
    int32_t speed = 1;
    std::string status;  // the last message, shown on the status line's second row
    const History& UndoHistory() const { return history; }
    const Scene& TheScene() const { return *scene; }

private:
    // An edit: `edit` changes the scene and says whether it did; undo keeps the scene before it.
    template <typename Edit>
    bool RecordEdit(Edit edit);
    void OnMouse(int code);
    void OnKey(int code);
    void OnMenu(int menu, int item);
    void TakeBrowsed(int index);
    void DrawView();
    void DrawBrowser();
    void DrawStatus();
    void Say(const std::string& message);
    void Autosave();

    const BitmapFont* font;
    Scene* scene;
    std::string folder;
    Surface view;  // the scene and the status rows, presented at every idle turn
    History history;
    Recording recording;
    uint32_t recordingStart = 0;
    ButtonGroup buttons;

    bool dragging = false;   // the left button went down on the scene with a drawing tool
    int32_t lastX = 0;       // the pointer at the previous stroke piece, or the line's start
    int32_t lastY = 0;
    int pendingSteps = 0;  // N presses not yet stepped
    uint32_t secondStart = 0;  // steps per second: measured over whole seconds
    uint32_t stepsThisSecond = 0;
    uint32_t stepsPerSecond = 0;
    int framesSinceAutosave = 0;
    int wheelTurn = 0;  // the wheel's turn not yet a whole notch (WHEEL_DELTA), as fine wheels send it

    bool browsing = false;
    bool browsingScenes = true;
    std::vector<std::string> browsed;        // the files shown
    std::vector<std::vector<uint8_t>> thumbs;  // their thumbnails, kThumbWidth × kThumbHeight
};

}  // namespace sandbox
