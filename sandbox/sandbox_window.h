// The sandbox's window: the scene with the pointer's brush and the taps drawn over it, a status
// line of two rows, a row of push buttons (the tools, which show the one picked, Run/Pause, which
// shows while time runs, and Undo) and a menu bar, all made from the tables of controls.h. The
// scene runs `speed` steps at every idle turn while it runs.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/surface.h"
#include "sandbox/browser.h"
#include "sandbox/controls.h"
#include "sandbox/history.h"
#include "sandbox/pictures.h"
#include "sandbox/scene.h"
#include "win/button_group.h"
#include "win/window.h"

class BitmapFont;

namespace sandbox {

// The client area: the scene at the top left, the status rows under it, the buttons at the
// bottom (the presented picture stops above them).
constexpr int kStatusTop = kSceneHeight;
constexpr int kViewHeight = kStatusTop + 28;
constexpr int kButtonTop = kViewHeight + 4;
constexpr int kButtonHeight = 26;
constexpr int kClientHeight = kButtonTop + kButtonHeight + 4;
constexpr int kButtonWidth = 72;
constexpr int kButtonPitch = 79;  // kButtonCount buttons, 7 pixels apart and from the edges
inline int ButtonLeft(int place) { return 7 + place * kButtonPitch; }

// How long a message stays on the status line, in milliseconds; then the tool's hint shows.
constexpr uint32_t kMessageMs = 5000;

class SandboxWindow : public Window {
public:
    // The font and the scene stay the caller's and must outlive the window. `folder` is where
    // scenes, screenshots and recordings go (SceneFolder()); empty: nowhere, the status says so.
    // When the folder holds an autosave, the window starts on it; else with a word of welcome.
    SandboxWindow(const BitmapFont* font, Scene* scene, std::string folder);
    // Keeps the scene in the folder's autosave, for the next start. (A web page is not told when
    // it is closed: there the autosave is also written every few seconds.)
    ~SandboxWindow() override;

    void OnEvent(int kind, int code, int detail) override;
    void OnIdle() override;

    void SelectTool(Tool t);
    void Do(Command command);
    void SetBrush(int32_t size);
    void SetRunning(bool on);
    void SetSpeed(int32_t stepsPerFrame);  // 1, 2, 4, 8 or 16

    Tool tool = Tool::Wall;
    int32_t brush = 4;
    bool running = true;
    int32_t speed = 1;
    // What the status line's second row says after the tool: the last message while it lasts,
    // else what the tool does.
    std::string Status() const;
    uint32_t StepsPerSecond() const { return running ? stepsPerSecond : 0; }
    const History& UndoHistory() const { return history; }
    const Scene& TheScene() const { return *scene; }

private:
    // An edit: `edit` changes the scene and says whether it did; undo keeps the scene before it.
    template <typename Edit>
    bool RecordEdit(Edit edit);
    void OnMouse(int code);
    void OnKey(int code);
    void OnMenu(int menu, int item);
    void OnButton(int id);
    void Undo();
    void Redo();
    void SaveScene();
    void Screenshot();
    void ToggleRecording();
    void Browse(Browser::Kind kind);
    void TakeBrowsed(const std::string& name);
    void DrawView();
    void DrawStatus();
    // Shows `message` on the status line for `lasting` milliseconds (0: until the next one).
    void Say(const std::string& message, uint32_t lasting = kMessageMs);
    void Autosave();

    const BitmapFont* font;
    Scene* scene;
    std::string folder;
    Surface view;  // the scene and the status rows, presented at every idle turn
    History history;
    Recording recording;
    uint32_t recordingStart = 0;
    ButtonGroup buttons;
    Browser browser;

    std::string message;
    uint32_t messageSaid = 0;
    uint32_t messageLasts = 0;  // 0: until the next message
    bool welcoming = false;     // the first start's welcome shows until the first click on the scene

    bool dragging = false;   // the left button went down on the scene with a drawing tool
    int32_t lastX = 0;       // the pointer at the previous stroke piece, or the line's start
    int32_t lastY = 0;
    int pendingSteps = 0;  // N presses not yet stepped
    uint32_t secondStart = 0;  // steps per second: measured over whole seconds of running
    uint32_t stepsThisSecond = 0;
    uint32_t stepsPerSecond = 0;
    int framesSinceAutosave = 0;
    int wheelTurn = 0;  // the wheel's turn not yet a whole notch (WHEEL_DELTA), as fine wheels send it
};

}  // namespace sandbox
