// The message-and-idle loop, start-up and shutdown, as the program runs them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "app/system.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "win/window.h"

namespace {

// Writes what happens to it into a shared log: "idle" for each idle turn, "key N" for key events.
class Recorder : public Window {
public:
    explicit Recorder(std::vector<std::string>* eventLog) : Window("Recorder", 320, 200, true, nullptr, false), log(eventLog) {}
    void OnEvent(int kind, int code, int) override {
        if (kind == Key) log->push_back("key " + std::to_string(code));
        if (kind == Key && code == VK_ESCAPE) delete this;
    }
    void OnIdle() override {
        log->push_back("idle");
        if (onIdle) onIdle();
    }
    std::vector<std::string>* log;
    std::function<void()> onIdle;
};

// A task whose deletion shows whether AppShutdown cleared the universe.
struct Sentinel : Executable {
    explicit Sentinel(bool* deletedFlag) : Executable(0), deleted(deletedFlag) {}
    ~Sentinel() override { *deleted = true; }
    bool* deleted;
};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

using Log = std::vector<std::string>;

TEST_F(MainLoopTest, BurstOfPendingMessagesIsDispatchedBeforeTheNextIdleTurn) {
    Log log;
    auto* w = new Recorder(&log);
    headless::SetBeforeIdleHook([&](int turn) {
        if (turn == 2)
            for (int vk : {'A', 'B', 'C', 'D'}) headless::TapKey(vk);
        if (turn == 3) headless::KeyDown(VK_ESCAPE);
    });
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_EQ(log, (Log{"idle", "key 65", "key 66", "key 67", "key 68", "idle", "key 27"}));
    (void)w;
}

TEST_F(MainLoopTest, TwoIdleTurnsWithAnEmptyQueueRunTwoFrames) {
    Log log;
    auto* w = new Recorder(&log);
    int turns = 0;
    w->onIdle = [&] {
        if (++turns == 2) PostQuitMessage(0);
    };
    RunMainLoop();
    EXPECT_EQ(log, (Log{"idle", "idle"}));
}

TEST_F(MainLoopTest, QuitFromOutsideEndsWithItsCodeAndWithoutShutdown) {
    Log log;
    new Recorder(&log);
    bool sentinelDeleted = false;
    appGlobals.universe.Add(new Sentinel(&sentinelDeleted));
    headless::SetBeforeIdleHook([](int turn) {
        if (turn == 3) PostMessageA(nullptr, WM_QUIT, 42, 0);
    });
    EXPECT_EQ(RunMainLoop(), 42);
    EXPECT_EQ(log, (Log{"idle", "idle"}));
    EXPECT_FALSE(sentinelDeleted);  // AppShutdown did not run
    appGlobals.universe.ClearTasks();
    EXPECT_TRUE(sentinelDeleted);
}

TEST_F(MainLoopTest, ClosingTheLastWindowEndsWithZeroAtTheNextIdleTurnAfterShutdown) {
    Log log;
    auto* w = new Recorder(&log);
    HWND h = HandleOf(w);
    bool sentinelDeleted = false;
    appGlobals.universe.Add(new Sentinel(&sentinelDeleted));
    headless::SetBeforeIdleHook([&](int turn) {
        if (turn == 3) headless::CloseWindow(h);
    });
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_EQ(log, (Log{"idle", "idle"}));  // no frame in the turn that found no window
    EXPECT_EQ(headless::IdleTurns(), 3);
    EXPECT_TRUE(sentinelDeleted);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(MainLoopTest, UniverseRunsEveryIdleTurnOnlyWhileActive) {
    struct Counter : Executable {
        explicit Counter(int* n) : Executable(0), runs(n) {}
        void Execute() override { ++*runs; }
        int* runs;
    };
    Log log;
    auto* w = new Recorder(&log);
    int runs = 0;
    appGlobals.universe.Add(new Counter(&runs));
    int turn = 0;
    w->onIdle = [&] {
        ++turn;
        if (turn == 2) appGlobals.universe.state = Suspended;
        if (turn == 4) PostQuitMessage(0);
    };
    RunMainLoop();
    EXPECT_EQ(turn, 4);  // frames go on while the universe is suspended
    EXPECT_EQ(runs, 1);
}

// The real entry point: a key tapped before start-up is not a press in the first frame, while a
// key held across start-up is down.
TEST_F(MainLoopTest, KeysTappedBeforeStartUpAreNotSeenByTheFirstFrame) {
    headless::TapKey(VK_SPACE);
    headless::KeyDown('H');
    Log log;
    bool spaceSeen = true;
    bool heldSeen = false;
    bool firstFrame = true;
    headless::SetBeforeIdleHook([&](int turn) {
        if (turn == 1) {
            auto* probe = new Recorder(&log);
            probe->onIdle = [&] {
                if (!firstFrame) return;
                firstFrame = false;
                spaceSeen = KeyDown(VK_SPACE);
                heldSeen = KeyDown('H');
            };
        }
        if (turn == 2) PostQuitMessage(3);
    });
    char commandLine[] = "";
    EXPECT_EQ(WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOW), 3);
    EXPECT_FALSE(spaceSeen);
    EXPECT_TRUE(heldSeen);
}

}  // namespace
