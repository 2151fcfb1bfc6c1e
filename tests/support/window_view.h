// Windows as a user sees them, for the menu and push-button tests: a window that records the
// events it gets, the message loop's dispatching, a client area painted one colour through GDI,
// and what a window shows read back as a text picture.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/win32.h"
#include "tests/support/app_fixture.h"
#include "win/window.h"

namespace viewtest {

struct Event {
    int kind;
    int code;
    int detail;
    bool operator==(const Event&) const = default;
};
void PrintTo(const Event& e, std::ostream* out);

// A windowed Window that keeps every OnEvent.
class EventWindow : public Window {
public:
    EventWindow(const char* name, int clientWidth, int clientHeight, Window* owner = nullptr)
        : Window(name, clientWidth, clientHeight, true, owner, false) {}
    void OnEvent(int kind, int code, int detail) override { events.push_back({kind, code, detail}); }
    HWND Handle() const { return HandleOf(this); }
    std::vector<Event> events;
};

// Dispatches everything pending, as the main loop does between idle turns.
void DispatchPending();

// A left click at (x, y) of what the window shows: press and release there.
void Click(HWND hwnd, int x, int y);

// Paints the whole client area in one 0x00RRGGBB colour, as a program draws (BitBlt of a DIB).
void FillClient(HWND hwnd, uint32_t rgb);

// Menus as drawn, by hand: the bar is SM_CYMENU (19) high above the client area. A drop-down
// opens under its title: a 3-pixel border round items 16 pixels high; an item's check mark starts
// 5 pixels right of the border and 4 pixels below the item's top.
constexpr int kBar = 19;
inline int ItemTop(int item) { return kBar + 3 + 16 * item; }
inline int ItemMiddle(int item) { return ItemTop(item) + 8; }

// An item's check mark, and the face where an unchecked item has none ('F' and 'K' of Classic()).
inline const std::vector<std::string> kCheckMark = {
    "FFFFFFK",
    "FFFFFKK",
    "KFFFKKK",
    "KKFKKKF",
    "KKKKKFF",
    "FKKKFFF",
    "FFKFFFF",
};
inline const std::vector<std::string> kNoCheckMark(7, "FFFFFFF");

// Which 0x00RRGGBB colour each picture character stands for.
using Palette = std::map<char, uint32_t>;

// The classic scheme: face (and 3D light) 'F', white 'W', shadow grey 'S', black 'K', the
// selection's navy 'N'; and 'g', the green the tests paint client areas with.
constexpr uint32_t kClientGreen = 0x20A040;
const Palette& Classic();

// The part of `image` at (left, top), as wide and as high as `expected`, compared with it; on a
// mismatch the message shows both pictures ('?' for a colour the palette lacks).
::testing::AssertionResult Shows(const headless::Image& image, int left, int top,
                                 const std::vector<std::string>& expected, const Palette& palette = Classic());

}  // namespace viewtest
