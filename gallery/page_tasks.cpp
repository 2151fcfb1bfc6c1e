// The task list (tasks/tasks.h): a Track, an Executor in the Universe, runs a Runner task per
// lane once a pass, lowest priority value first. Now and then a one-lap task joins: it runs first
// in the pass after it was added, whatever its priority, then takes its sorted place, and once
// its lap is done it finishes and the track deletes it. The loop runs the Universe after every
// idle turn; the track is Active only while its page is in view.
#include <cstdio>
#include <string>

#include "app/globals.h"
#include "gallery/pages.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"
#include "tasks/tasks.h"

namespace {

constexpr int32_t kLaneLeft = 140;
constexpr int32_t kLaneLength = 470;
constexpr int32_t kFirstLaneY = 72;
constexpr int32_t kLaneGap = 44;
constexpr int kJoinEvery = 300;  // passes

struct Lane {
    char name;
    int8_t priority;
    int32_t speed;  // pixels a pass
    uint8_t colour;
};
// A, B and C run for good; D joins for one lap at a time.
constexpr Lane kLanes[] = {{'A', 3, 2, 40}, {'B', 1, 3, 58}, {'C', 2, 4, 104}, {'D', 4, 6, 124}};

class Track;

// Moves a ball along its lane and signs the pass's run order.
class Runner : public Executable {
public:
    Runner(const Lane& l, int lapCount) : Executable(l.priority), lane(l), laps(lapCount) {}
    void Execute() override;

    const Lane& lane;
    int32_t x = 0;
    int laps;  // laps left before it finishes; 0 runs for good
};

class Track : public Executor {
public:
    void Execute() override {
        order.clear();
        // Added between two of the track's own passes: it runs first in the next one.
        bool joining = ++passes % kJoinEvery == 0;
        if (joining) Add(new Runner(kLanes[3], 1));
        Executor::Execute();  // runs the Active tasks, deletes the Finished ones, sorts the rest
        if (joining) joinOrder = order;
    }

    std::string order;      // names in the order they ran in the last pass
    std::string joinOrder;  // the same for the last pass in which a task joined
    int passes = 0;
};

void Runner::Execute() {
    // A task knows the executor that runs it.
    static_cast<Track*>(executor)->order += lane.name;
    x += lane.speed;
    if (x < kLaneLength) return;
    x -= kLaneLength;
    if (laps > 0 && --laps == 0) SetState(Finished);
}

std::string Spaced(const std::string& names) {
    std::string text;
    for (char c : names) text += text.empty() ? std::string(1, c) : std::string(" ") + c;
    return text.empty() ? "-" : text;
}

class TasksPage : public Page {
public:
    TasksPage() : track(new Track) {
        for (int i = 0; i < 3; ++i) track->Add(new Runner(kLanes[i], 0));
        track->SetState(Suspended);
        appGlobals.universe.Add(track);  // the Universe owns the track, and the track its tasks
    }

    const char* Title() const override { return "Tasks"; }
    void Enter() override { track->SetState(Active); }
    void Leave() override { track->SetState(Suspended); }

    void Draw(const PageTools& t) override {
        DrawCaption(t, 16, 44, "lower priority values run first");
        for (int i = 0; i < 4; ++i) {
            const Lane& lane = kLanes[i];
            int32_t y = kFirstLaneY + kLaneGap * i;
            char label[32];
            std::snprintf(label, sizeof label, "%c  priority %d", lane.name, lane.priority);
            DrawText(t.font, 16, y - 6, label, t.image, kInk, false, false);
            DrawLine(t.image, kLaneLeft, y, kLaneLeft + kLaneLength, y, kCaption);
        }
        int count = 0;
        for (const Sil_Link* n = track->tasks->head->next; n != track->tasks->tail; n = n->next, ++count) {
            const auto* runner = static_cast<const Runner*>(n);
            int32_t y = kFirstLaneY + kLaneGap * (runner->lane.name - 'A');
            FillCircle(t.image, kLaneLeft + runner->x, y, 12, runner->lane.colour);
            char name[2] = {runner->lane.name, 0};
            DrawText(t.font, kLaneLeft + runner->x + 1, y + 1, name, t.image, kInk, true, false);
        }

        char line[96];
        int32_t y = kFirstLaneY + 4 * kLaneGap;
        std::snprintf(line, sizeof line, "tasks in the track: %d   passes: %d", count, track->passes);
        DrawText(t.font, 16, y, line, t.image, kInk, false, false);
        DrawCaption(t, 16, y + 28, "run order of the last pass");
        DrawText(t.font, 280, y + 28, Spaced(track->order).c_str(), t.image, kAccent, false, false);
        DrawCaption(t, 16, y + 48, "the pass in which D joined");
        DrawText(t.font, 280, y + 48, Spaced(track->joinOrder).c_str(), t.image, kAccent, false, false);
        DrawCaption(t, 16, y + 80, "A task added between passes runs first once, then the list is");
        DrawCaption(t, 16, y + 96, "sorted. D finishes after one lap and is deleted. Animation off");
        DrawCaption(t, 16, y + 112, "suspends the Universe: no task runs.");
    }

private:
    Track* track;  // owned by the Universe
};

}  // namespace

std::unique_ptr<Page> MakeTasksPage() { return std::make_unique<TasksPage>(); }
