// tasks: prioritised tasks of the Universe moving things. It shows
//   - tasks (Executable): each moves a ball along its lane, a few pixels each time it runs;
//   - the Universe (appGlobals.universe), the root executor: the loop (RunMessageLoop) runs it
//     once after every idle turn, and it runs its Active tasks lowest priority value first (B 1, A 2, C 3), so
//     the order they ran in, shown under the lanes, is "B A C" whatever order they started in;
//   - push buttons (ButtonGroup): Start and Stop under each lane make its task Active or
//     Suspended; a click reaches the window as OnEvent(Button, the button's identifier).
// All three start stopped, each ball at the left end of its lane; Escape ends the program.
#include <cstdio>
#include <string>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/palette.h"
#include "gfx/surface.h"
#include "platform/program_folder.h"
#include "tasks/tasks.h"
#include "win/button_group.h"
#include "win/window.h"

namespace {

constexpr const char* kPaletteFile = ".\\Media\\Sprites.bmp";
constexpr const char* kFontFile = ".\\Media\\font8x12.fon";

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kLaneLeft = 60;     // a ball's centre runs from here ...
constexpr int kLaneLength = 520;  // ... this far, then starts again
constexpr int kFirstLane = 60;    // the first lane's y; the lanes are kLaneGap apart
constexpr int kLaneGap = 120;
constexpr uint8_t kBackground = colour::kGreyRamp + 2, kLaneColour = colour::kLightGrey;

std::string runOrder;  // the names of the tasks in the order they ran in the last pass

// A task: moves its ball `speed` pixels each time the Universe runs it.
class Mover : public Executable {
public:
    Mover(char moverName, int8_t moverPriority, int moverSpeed, uint8_t ballColour)
        : Executable(moverPriority), name(moverName), speed(moverSpeed), colour(ballColour) {
        SetState(Suspended);  // stopped until its Start button is pressed
    }
    void Execute() override {
        x = (x + speed) % kLaneLength;
        runOrder += name;
    }

    char name;
    int speed;
    uint8_t colour;
    int x = 0;
};

class TasksWindow : public Window {
public:
    TasksWindow(const BitmapFont* tasksFont, Mover* const* laneMovers)
        : Window("Ondrel tasks", kWidth, kHeight, /*noBackground=*/true, /*owner=*/nullptr, /*fullscreen=*/false),
          font(tasksFont),
          movers(laneMovers),
          image(kWidth, kHeight),
          buttons(this) {
        for (short i = 0; i < 3; ++i) {
            const auto top = static_cast<short>(kFirstLane + kLaneGap * i + 20);
            buttons.AddButton(kLaneLeft, top, kLaneLeft + 80, top + 24, "Start", static_cast<short>(kStart + i));
            buttons.AddButton(kLaneLeft + 90, top, kLaneLeft + 170, top + 24, "Stop", static_cast<short>(kStop + i));
        }
    }

    void OnEvent(int kind, int code, int) override {
        if (kind == Key && code == VK_ESCAPE) delete this;
        if (kind == Button && code >= kStop) movers[code - kStop]->SetState(Suspended);
        else if (kind == Button) movers[code - kStart]->SetState(Active);
    }

    void OnIdle() override {
        image.Clear(kBackground);
        for (int i = 0; i < 3; ++i) {
            const Mover& m = *movers[i];
            const int y = kFirstLane + kLaneGap * i;
            DrawLine(&image, kLaneLeft, y, kLaneLeft + kLaneLength, y, kLaneColour);
            char label[48];
            std::snprintf(label, sizeof label, "%c  priority %d  %s", m.name, m.priority,
                          m.state == Active ? "running" : "stopped");
            DrawText(font, kLaneLeft + 190, y + 26, label, &image, colour::kWhite, /*centred=*/false,
                     /*boxed=*/false);
            FillCircle(&image, kLaneLeft + m.x, y, 10, m.colour);
        }
        const std::string order = "last pass ran: " + (runOrder.empty() ? std::string("nothing") : runOrder);
        DrawText(font, kLaneLeft, kHeight - 40, order.c_str(), &image, colour::kWhite, /*centred=*/false,
                 /*boxed=*/false);
        runOrder.clear();  // the Universe runs after this idle turn and writes it anew
        image.Present(this);
    }

private:
    static constexpr short kStart = 1;   // Start of lane i: 1 + i
    static constexpr short kStop = 11;   // Stop of lane i: 11 + i
    const BitmapFont* font;
    Mover* const* movers;
    Surface image;
    ButtonGroup buttons;  // a member, so it goes before the Window part does
};

}  // namespace

// The files the program opens; the platform makes the folder that holds them current.
const char* const kProgramFiles[] = {kPaletteFile, kFontFile, nullptr};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    BitmapFont font(8, 12, kFontFile);
    if (!LoadPaletteFromBmp(kPaletteFile) || !font.glyphs) {
        std::fputs("tasks: cannot read Media/Sprites.bmp (the palette) or Media/font8x12.fon\n", stderr);
        return 1;
    }
    // The Universe owns its tasks and deletes them when it is cleared.
    Mover* movers[3] = {new Mover('A', 2, 2, colour::kRedRamp + 8), new Mover('B', 1, 3, colour::kGreenRamp + 10),
                        new Mover('C', 3, 5, colour::kGoldRamp + 8)};
    for (Mover* m : movers) appGlobals.universe.Add(m);

    new TasksWindow(&font, movers);
    // After every idle turn the loop runs the Universe once: one pass of its Active tasks, in
    // priority order.
    const int exitCode = RunMessageLoop();
    DeleteAllWindows();
    appGlobals.universe.ClearTasks();
    return exitCode;
}
