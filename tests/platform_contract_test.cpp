// What the platform promises, stated against the Win32 API alone: the same program runs on Linux
// against our subset (headless display driver) and on Windows against the real one, and both
// must pass. Message traffic is checked as tables of expected sequences: each window procedure
// logs what it receives, and a sequence is compared with the table, message by message.
//
// The logs keep only the messages our subset models (kWatched); Windows sends many more during
// the same calls (WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_WINDOWPOSCHANGING, ...), which no program
// of ours relies on. An entry marked kOptional may be missing: Windows sends it only sometimes
// (WM_ACTIVATEAPP only to the application's first active window, for example).
//
// Every case uses class names of its own and destroys its windows: on Windows all cases run in
// one process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/support/dib_section.h"
#include "tests/support/synth_input.h"

namespace {

// --- Message logs ---------------------------------------------------------------------------

enum Flags {
    kSent = 1,      // reached the procedure by a direct call (SendMessage, or from inside a call)
    kPosted = 2,    // taken from the queue and dispatched
    kOptional = 4,  // may be missing
    kWParam = 8,    // the wParam must match too
    kLParam = 16,   // the lParam must match too
};

struct Expected {
    UINT message;
    int flags;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct Logged {
    HWND hwnd;
    UINT message;
    int flags;
    WPARAM wParam;
    LPARAM lParam;
};

const std::set<UINT> kWatched = {WM_NCCREATE,  WM_CREATE,      WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE,
                                 WM_SETFOCUS,  WM_KILLFOCUS,   WM_SIZE,       WM_MOVE,        WM_CLOSE,
                                 WM_DESTROY,   WM_NCDESTROY,   WM_KEYDOWN,    WM_KEYUP,       WM_CHAR,
                                 WM_COMMAND,   WM_MOUSEWHEEL,  WM_USER,       WM_USER + 1,    WM_USER + 2,
                                 WM_USER + 3};

std::vector<Logged> messageLog;
const MSG* dispatching = nullptr;  // the queued message DispatchMessageA is delivering, if any

std::string Name(UINT message) {
    switch (message) {
        case WM_NCCREATE: return "WM_NCCREATE";
        case WM_CREATE: return "WM_CREATE";
        case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
        case WM_ACTIVATEAPP: return "WM_ACTIVATEAPP";
        case WM_ACTIVATE: return "WM_ACTIVATE";
        case WM_SETFOCUS: return "WM_SETFOCUS";
        case WM_KILLFOCUS: return "WM_KILLFOCUS";
        case WM_SIZE: return "WM_SIZE";
        case WM_MOVE: return "WM_MOVE";
        case WM_CLOSE: return "WM_CLOSE";
        case WM_DESTROY: return "WM_DESTROY";
        case WM_NCDESTROY: return "WM_NCDESTROY";
        case WM_KEYDOWN: return "WM_KEYDOWN";
        case WM_KEYUP: return "WM_KEYUP";
        case WM_CHAR: return "WM_CHAR";
        case WM_COMMAND: return "WM_COMMAND";
        case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
        default: break;
    }
    if (message >= WM_USER) return "WM_USER+" + std::to_string(message - WM_USER);
    return "0x" + std::to_string(message);
}

std::string Describe(UINT message, int flags, WPARAM wParam, LPARAM lParam) {
    std::ostringstream out;
    out << Name(message) << ((flags & kPosted) ? " posted" : " sent");
    out << " w=" << static_cast<uint64_t>(wParam) << " l=0x" << std::hex << static_cast<uint64_t>(lParam);
    return out.str();
}

// The procedure of every watched class: logs, then leaves everything to DefWindowProcA.
LRESULT CALLBACK LoggingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (kWatched.count(message)) {
        bool posted = dispatching && dispatching->hwnd == hwnd && dispatching->message == message;
        messageLog.push_back({hwnd, message, posted ? kPosted : kSent, wParam, lParam});
    }
    const MSG* outer = dispatching;
    dispatching = nullptr;  // whatever this message causes arrives by calls
    LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    dispatching = outer;
    return result;
}

void Dispatch(const MSG& msg) {
    dispatching = &msg;
    DispatchMessageA(&msg);
    dispatching = nullptr;
}

// Dispatches what is queued for the thread, as a message loop does. WM_PAINT is only validated:
// painting is not part of any table here.
void DispatchPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        Dispatch(msg);
    }
}

// Compares the log with the table as Wine's user32 tests do: in order, optional entries may be
// skipped, nothing may be left over. On a mismatch the whole of both is reported.
void ExpectSequence(const std::vector<Expected>& expected, const std::string& context) {
    std::vector<Logged> got = messageLog;
    messageLog.clear();
    size_t g = 0;
    std::string problem;
    for (size_t e = 0; e < expected.size() && problem.empty(); ++e) {
        const Expected& want = expected[e];
        bool match = g < got.size() && got[g].message == want.message &&
                     (got[g].flags & (kSent | kPosted)) == (want.flags & (kSent | kPosted)) &&
                     (!(want.flags & kWParam) || got[g].wParam == want.wParam) &&
                     (!(want.flags & kLParam) || got[g].lParam == want.lParam);
        if (match) {
            ++g;
        } else if (!(want.flags & kOptional)) {
            problem = "expected " + Describe(want.message, want.flags, want.wParam, want.lParam) + " at position " +
                      std::to_string(g);
        }
    }
    if (problem.empty() && g < got.size()) problem = "more messages than expected from position " + std::to_string(g);
    if (problem.empty()) return;
    std::ostringstream report;
    report << context << ": " << problem << "\n  expected:";
    for (const Expected& e : expected)
        report << "\n    " << Describe(e.message, e.flags, e.wParam, e.lParam) << ((e.flags & kOptional) ? " (optional)" : "");
    report << "\n  got:";
    for (const Logged& l : got) report << "\n    " << Describe(l.message, l.flags, l.wParam, l.lParam);
    ADD_FAILURE() << report.str();
}

// --- Classes and windows --------------------------------------------------------------------

ATOM Register(const char* name, WNDPROC procedure = LoggingProcedure) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

HWND Create(const char* className, DWORD style, int x, int y, int width, int height, HWND parent = nullptr) {
    return CreateWindowExA(0, className, "contract", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
}

// The styles the framework makes its windows with.
constexpr DWORD kWindowed = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFullScreen = WS_POPUP | WS_BORDER | WS_SYSMENU;

class PlatformContract : public ::testing::Test {
protected:
    void SetUp() override {
        DispatchPending();
        messageLog.clear();
    }
    void TearDown() override {
        for (HWND h : windows)
            if (IsWindow(h)) DestroyWindow(h);
        DispatchPending();
        messageLog.clear();
    }
    // A class of its own for this case.
    std::string NewClass(WNDPROC procedure = LoggingProcedure) {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("contract ") + info->name() + " " + std::to_string(classes++);
        EXPECT_NE(Register(name.c_str(), procedure), 0) << name;
        return name;
    }
    HWND Keep(HWND h) {
        windows.push_back(h);
        return h;
    }
    // A window of a class of its own, shown, with what showing it sent dispatched.
    HWND Shown(DWORD style, int x, int y, int width, int height) {
        std::string name = NewClass();
        HWND h = Keep(Create(name.c_str(), style, x, y, width, height));
        ShowWindow(h, SW_SHOW);
        DispatchPending();
        return h;
    }
    std::vector<HWND> windows;
    int classes = 0;
};

// --- Class registration ---------------------------------------------------------------------

LRESULT CALLBACK OtherProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return 2;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FirstProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return 1;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(PlatformContract, ATakenClassNameFailsAndTheFirstClassStays) {
    const char* name = "contract taken name";
    EXPECT_NE(Register(name, FirstProcedure), 0);
    EXPECT_EQ(Register(name, OtherProcedure), 0);
    HWND h = Keep(Create(name, WS_POPUP, 0, 0, 10, 10));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 1);
    // A class that was never registered makes no window.
    EXPECT_EQ(Create("contract no such class", WS_POPUP, 0, 0, 10, 10), nullptr);
}

// --- CreateWindowExA ------------------------------------------------------------------------

TEST_F(PlatformContract, CreateWindowSendsItsMessagesInOrderBeforeItReturns) {
    struct Case {
        const char* what;
        DWORD style;
        bool child;
        std::vector<Expected> sequence;
    };
    const std::vector<Case> cases = {
        {"hidden top-level window", kWindowed, false, {{WM_NCCREATE, kSent}, {WM_CREATE, kSent}}},
        {"visible top-level window",
         kWindowed | WS_VISIBLE,
         false,
         {{WM_NCCREATE, kSent},
          {WM_CREATE, kSent},
          {WM_SHOWWINDOW, kSent | kWParam, TRUE},
          {WM_ACTIVATEAPP, kSent | kWParam | kOptional, TRUE},
          {WM_ACTIVATE, kSent | kWParam, WA_ACTIVE},
          {WM_SETFOCUS, kSent},
          {WM_SIZE, kSent},
          {WM_MOVE, kSent}}},
        {"visible child window",
         WS_CHILD | WS_VISIBLE,
         true,
         {{WM_NCCREATE, kSent},
          {WM_CREATE, kSent},
          {WM_SIZE, kSent | kLParam, 0, MAKELPARAM(30, 20)},
          {WM_MOVE, kSent | kLParam, 0, MAKELPARAM(5, 6)},
          {WM_SHOWWINDOW, kSent | kWParam, TRUE}}},
    };
    std::string name = NewClass();
    HWND parent = Keep(Create(name.c_str(), WS_POPUP, 0, 0, 100, 100));
    ASSERT_NE(parent, nullptr);
    for (const Case& c : cases) {
        messageLog.clear();
        HWND h = Keep(Create(name.c_str(), c.style, 5, 6, 30, 20, c.child ? parent : nullptr));
        ASSERT_NE(h, nullptr) << c.what;
        std::vector<Logged> mine;
        for (const Logged& l : messageLog)
            if (l.hwnd == h) mine.push_back(l);
        messageLog = mine;
        ExpectSequence(c.sequence, c.what);
        DestroyWindow(h);
        DispatchPending();
    }
}

TEST_F(PlatformContract, ShowWindowOfAHiddenWindow) {
    std::string name = NewClass();
    HWND h = Keep(Create(name.c_str(), kWindowed, 10, 10, 200, 100));
    ASSERT_NE(h, nullptr);
    messageLog.clear();
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));  // the result is the previous visibility
    ExpectSequence({{WM_SHOWWINDOW, kSent | kWParam, TRUE},
                    {WM_ACTIVATEAPP, kSent | kWParam | kOptional, TRUE},
                    {WM_ACTIVATE, kSent | kWParam, WA_ACTIVE},
                    {WM_SETFOCUS, kSent},
                    {WM_SIZE, kSent},
                    {WM_MOVE, kSent}},
                   "ShowWindow");
    EXPECT_TRUE(ShowWindow(h, SW_SHOW));
    ExpectSequence({}, "ShowWindow of a shown window");
}

// --- Closing and destroying -----------------------------------------------------------------

TEST_F(PlatformContract, DefWindowProcTurnsCloseIntoDestroy) {
    std::string name = NewClass();
    struct Case {
        const char* what;
        bool posted;
        std::vector<Expected> sequence;
    };
    const std::vector<Case> cases = {
        {"WM_CLOSE sent", false, {{WM_CLOSE, kSent}, {WM_DESTROY, kSent}, {WM_NCDESTROY, kSent}}},
        {"WM_CLOSE posted", true, {{WM_CLOSE, kPosted}, {WM_DESTROY, kSent}, {WM_NCDESTROY, kSent}}},
    };
    for (const Case& c : cases) {
        HWND h = Keep(Create(name.c_str(), kWindowed, 0, 0, 50, 50));
        ASSERT_NE(h, nullptr);
        messageLog.clear();
        if (c.posted) {
            EXPECT_TRUE(PostMessageA(h, WM_CLOSE, 0, 0));
            EXPECT_TRUE(IsWindow(h));
            DispatchPending();
        } else {
            EXPECT_EQ(SendMessageA(h, WM_CLOSE, 0, 0), 0);
        }
        ExpectSequence(c.sequence, c.what);
        EXPECT_FALSE(IsWindow(h)) << c.what;
    }
}

TEST_F(PlatformContract, DestroyWindowTakesTheChildrenAlongAndHandlesDie) {
    std::string name = NewClass();
    HWND parent = Keep(Create(name.c_str(), kWindowed, 0, 0, 100, 100));
    HWND child = Keep(Create(name.c_str(), WS_CHILD, 0, 0, 10, 10, parent));
    ASSERT_NE(parent, nullptr);
    ASSERT_NE(child, nullptr);
    messageLog.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    // Win32 destroys the parent's tree after the parent's WM_DESTROY, and its WM_NCDESTROY last.
    std::vector<std::pair<HWND, UINT>> order;
    for (const Logged& l : messageLog) order.push_back({l.hwnd, l.message});
    messageLog.clear();
    const std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(nullptr));
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_FALSE(PostMessageA(parent, WM_USER, 0, 0));
}

// --- The queue ------------------------------------------------------------------------------

TEST_F(PlatformContract, PeekMessageWithAndWithoutRemoving) {
    std::string name = NewClass();
    HWND h = Keep(Create(name.c_str(), kWindowed, 0, 0, 50, 50));
    ASSERT_NE(h, nullptr);
    for (UINT i = 1; i <= 3; ++i) ASSERT_TRUE(PostMessageA(h, WM_USER + i, 10 + i, 20 + i));

    MSG msg{};
    // PM_NOREMOVE shows the first message and leaves it there.
    for (int again = 0; again < 2; ++again) {
        ASSERT_TRUE(PeekMessageA(&msg, h, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(msg.message, WM_USER + 1u);
        EXPECT_EQ(msg.hwnd, h);
        EXPECT_EQ(msg.wParam, 11u);
        EXPECT_EQ(msg.lParam, 21);
    }
    // A range picks the first message inside it, wherever it is in the queue.
    ASSERT_TRUE(PeekMessageA(&msg, h, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    // A filter on another window finds nothing.
    std::string other = NewClass();
    HWND elsewhere = Keep(Create(other.c_str(), kWindowed, 0, 0, 50, 50));
    EXPECT_FALSE(PeekMessageA(&msg, elsewhere, 0, 0, PM_NOREMOVE));
    messageLog.clear();
    // The rest, in the order they were posted, then nothing.
    std::vector<UINT> taken;
    while (PeekMessageA(&msg, h, 0, 0, PM_REMOVE)) {
        taken.push_back(msg.message);
        Dispatch(msg);
    }
    EXPECT_EQ(taken, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
    ExpectSequence({{WM_USER + 1, kPosted | kWParam | kLParam, 11, 21}, {WM_USER + 3, kPosted | kWParam | kLParam, 13, 23}},
                   "dispatching the queue");
}

TEST_F(PlatformContract, QuitEndsGetMessageWithZeroAfterWhatWasPostedBefore) {
    std::string name = NewClass();
    HWND h = Keep(Create(name.c_str(), kWindowed, 0, 0, 50, 50));
    ASSERT_NE(h, nullptr);
    DispatchPending();
    ASSERT_TRUE(PostMessageA(h, WM_USER, 0, 0));
    PostQuitMessage(7);
    MSG msg{};
    // A quit waits until the posted messages are taken.
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    // Seen without removing, it stays.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    // Taken once, it is gone.
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(PlatformContract, TranslateMessagePostsTheCharacterOfATypingKey) {
    struct Case {
        WPARAM key;
        UINT scanCode;
        int character;  // -1: none
    };
    const std::vector<Case> cases = {
        {'A', 0x1E, 'a'},   {'Z', 0x2C, 'z'},        {'7', 0x08, '7'},    {VK_SPACE, 0x39, ' '},
        {VK_RETURN, 0x1C, '\r'}, {VK_ESCAPE, 0x01, 0x1B}, {VK_BACK, 0x0E, 0x08}, {VK_TAB, 0x0F, '\t'},
        {VK_ADD, 0x4E, '+'}, {VK_SUBTRACT, 0x4A, '-'}, {VK_LEFT, 0x4B, -1}, {VK_F1, 0x3B, -1},
    };
    std::string name = NewClass();
    HWND h = Keep(Create(name.c_str(), kWindowed, 0, 0, 50, 50));
    ASSERT_NE(h, nullptr);
    DispatchPending();
    messageLog.clear();
    for (const Case& c : cases) {
        const LPARAM lParam = 1 | static_cast<LPARAM>(c.scanCode) << 16;
        MSG key{};
        key.hwnd = h;
        key.message = WM_KEYDOWN;
        key.wParam = c.key;
        key.lParam = lParam;
        // Nonzero for every key message, whether or not it types a character.
        EXPECT_TRUE(TranslateMessage(&key)) << "key " << c.key;
        MSG msg{};
        if (c.character < 0) {
            EXPECT_FALSE(PeekMessageA(&msg, h, WM_CHAR, WM_CHAR, PM_NOREMOVE)) << "key " << c.key;
        } else {
            ASSERT_TRUE(PeekMessageA(&msg, h, 0, 0, PM_REMOVE)) << "key " << c.key;
            EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR)) << "key " << c.key;
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>(c.character)) << "key " << c.key;
            EXPECT_EQ(msg.lParam, lParam) << "key " << c.key;
        }
        key.message = WM_KEYUP;
        key.lParam = lParam | (LPARAM(1) << 30) | static_cast<LPARAM>(0x80000000u);
        EXPECT_TRUE(TranslateMessage(&key)) << "key up " << c.key;
        EXPECT_FALSE(PeekMessageA(&msg, h, WM_CHAR, WM_CHAR, PM_NOREMOVE)) << "key up " << c.key;
    }
    MSG other{};
    other.hwnd = h;
    other.message = WM_USER;
    EXPECT_FALSE(TranslateMessage(&other));
}

// --- Window data and geometry ---------------------------------------------------------------

TEST_F(PlatformContract, TheUserDataSlotHoldsAWholePointer) {
    std::string name = NewClass();
    HWND h = Keep(Create(name.c_str(), kWindowed, 0, 0, 50, 50));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 0);
    // All bits set in every byte that a pointer has, none that a 32-bit slot could keep alone.
    const LONG_PTR value = static_cast<LONG_PTR>(~uintptr_t{0} - 0xFF00);
    EXPECT_EQ(SetWindowLongPtrA(h, GWLP_USERDATA, value), 0);
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), value);
    int object = 0;
    EXPECT_EQ(SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object)), value);
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtrA(h, GWLP_USERDATA)), &object);
}

TEST_F(PlatformContract, RectanglesFollowTheStyleAndTheSystemMetrics) {
    const int frame = GetSystemMetrics(SM_CXDLGFRAME);
    const int frameY = GetSystemMetrics(SM_CYDLGFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int border = GetSystemMetrics(SM_CXBORDER);
    struct Case {
        const char* what;
        DWORD style;
        RECT frameWidths;  // left, top, right, bottom: outer edge to client edge
    };
    const std::vector<Case> cases = {
        {"windowed", kWindowed, {frame, frameY + caption, frame, frameY}},
        {"full-screen", kFullScreen, {border, border, border, border}},
        {"plain popup", WS_POPUP, {0, 0, 0, 0}},
    };
    std::string name = NewClass();
    for (const Case& c : cases) {
        HWND h = Keep(Create(name.c_str(), c.style, 40, 30, 300, 200));
        ASSERT_NE(h, nullptr) << c.what;
        RECT r{};
        ASSERT_TRUE(GetWindowRect(h, &r));
        EXPECT_EQ(r.left, 40) << c.what;
        EXPECT_EQ(r.top, 30) << c.what;
        EXPECT_EQ(r.right, 340) << c.what;
        EXPECT_EQ(r.bottom, 230) << c.what;
        RECT client{};
        ASSERT_TRUE(GetClientRect(h, &client));
        EXPECT_EQ(client.left, 0) << c.what;
        EXPECT_EQ(client.top, 0) << c.what;
        EXPECT_EQ(client.right, 300 - c.frameWidths.left - c.frameWidths.right) << c.what;
        EXPECT_EQ(client.bottom, 200 - c.frameWidths.top - c.frameWidths.bottom) << c.what;
    }
    // The framework's window: a client area of 640 × 480 from the small caption plus 3.
    HWND framework = Keep(Create(name.c_str(), kWindowed, 0, 0, 640 + 2 * frame,
                                 480 + 2 * frameY + GetSystemMetrics(SM_CYSMCAPTION) + 3));
    RECT client{};
    ASSERT_TRUE(GetClientRect(framework, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
}

TEST_F(PlatformContract, AChildWindowRectangleIsInScreenCoordinates) {
    std::string name = NewClass();
    HWND parent = Keep(Create(name.c_str(), kWindowed, 100, 50, 300, 200));
    ASSERT_NE(parent, nullptr);
    HWND child = Keep(Create(name.c_str(), WS_CHILD, 10, 20, 40, 30, parent));
    ASSERT_NE(child, nullptr);
    RECT p{};
    ASSERT_TRUE(GetWindowRect(parent, &p));
    // The parent's client area starts inside its frame and caption.
    const int originX = p.left + GetSystemMetrics(SM_CXDLGFRAME);
    const int originY = p.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, originX + 10);
    EXPECT_EQ(r.top, originY + 20);
    EXPECT_EQ(r.right, originX + 50);
    EXPECT_EQ(r.bottom, originY + 50);
    RECT client{};
    ASSERT_TRUE(GetClientRect(child, &client));
    EXPECT_EQ(client.right, 40);
    EXPECT_EQ(client.bottom, 30);

    // Moving the parent moves the child on the screen; MoveWindow of a child takes parent-client
    // coordinates.
    ASSERT_TRUE(MoveWindow(parent, 200, 60, 300, 200, FALSE));
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, originX + 100 + 10);
    EXPECT_EQ(r.top, originY + 10 + 20);
    ASSERT_TRUE(MoveWindow(child, 1, 2, 40, 30, FALSE));
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, originX + 100 + 1);
    EXPECT_EQ(r.top, originY + 10 + 2);
}

TEST_F(PlatformContract, MoveWindowSendsWhatChanged) {
    const int frame = GetSystemMetrics(SM_CXDLGFRAME);
    const int top = GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    struct Case {
        const char* what;
        RECT to;  // left, top, width, height
        std::vector<Expected> sequence;
    };
    // WM_MOVE carries the client area's new corner on the screen, WM_SIZE its new size.
    const std::vector<Case> cases = {
        {"position and size", {50, 60, 200, 100},
         {{WM_MOVE, kSent | kLParam, 0, MAKELPARAM(50 + frame, 60 + top)},
          {WM_SIZE, kSent | kLParam, 0, MAKELPARAM(200 - 2 * frame, 100 - top - frame)}}},
        {"position only", {70, 80, 200, 100}, {{WM_MOVE, kSent | kLParam, 0, MAKELPARAM(70 + frame, 80 + top)}}},
        {"size only", {70, 80, 220, 110},
         {{WM_SIZE, kSent | kLParam, 0, MAKELPARAM(220 - 2 * frame, 110 - top - frame)}}},
        {"nothing", {70, 80, 220, 110}, {}},
    };
    std::string name = NewClass();
    HWND h = Keep(Create(name.c_str(), kWindowed, 10, 10, 100, 100));
    ASSERT_NE(h, nullptr);
    for (const Case& c : cases) {
        messageLog.clear();
        ASSERT_TRUE(MoveWindow(h, c.to.left, c.to.top, c.to.right, c.to.bottom, TRUE)) << c.what;
        ExpectSequence(c.sequence, c.what);
        RECT r{};
        GetWindowRect(h, &r);
        EXPECT_EQ(r.left, c.to.left) << c.what;
        EXPECT_EQ(r.top, c.to.top) << c.what;
        EXPECT_EQ(r.right - r.left, c.to.right) << c.what;
        EXPECT_EQ(r.bottom - r.top, c.to.bottom) << c.what;
    }
}

// --- DIB sections and BitBlt ----------------------------------------------------------------

// An 8-bit top-down section whose index i has the colour (i, 255 − i, 3i mod 256).
HBITMAP NewSection(int width, int height, void** bits) {
    auto colour = [](int i) {
        return static_cast<uint32_t>(i) << 16 | static_cast<uint32_t>(255 - i) << 8 | static_cast<uint32_t>(3 * i & 0xFF);
    };
    return NewSection8(width, height, true, colour, bits);
}

COLORREF ColourOf(int index) { return RGB(index, 255 - index, (3 * index) & 0xFF); }

TEST_F(PlatformContract, DibSectionsAreZeroFilledWithRowsPaddedToFourBytes) {
    struct Case {
        int width, height, stride;
    };
    const std::vector<Case> cases = {{1, 1, 4}, {3, 2, 4}, {4, 3, 4}, {5, 2, 8}, {640, 480, 640}, {641, 1, 644}};
    for (const Case& c : cases) {
        void* bits = nullptr;
        HBITMAP bitmap = NewSection(c.width, c.height, &bits);
        ASSERT_NE(bitmap, nullptr) << c.width << " x " << c.height;
        ASSERT_NE(bits, nullptr);
        BITMAP bm{};
        EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmType, 0);
        EXPECT_EQ(bm.bmWidth, c.width);
        EXPECT_EQ(bm.bmHeight, c.height);  // a count of rows, whichever way up they are stored
        EXPECT_EQ(bm.bmWidthBytes, c.stride) << c.width;
        EXPECT_EQ(bm.bmPlanes, 1);
        EXPECT_EQ(bm.bmBitsPixel, 8);
        EXPECT_EQ(bm.bmBits, bits);
        const auto* bytes = static_cast<const uint8_t*>(bits);
        const size_t size = static_cast<size_t>(c.stride) * static_cast<size_t>(c.height);
        EXPECT_TRUE(std::all_of(bytes, bytes + size, [](uint8_t b) { return b == 0; })) << c.width << " x " << c.height;
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST_F(PlatformContract, ABlitIntoAWindowShowsIndicesThroughTheColourTable) {
    std::string name = NewClass();
    HWND h = Keep(Create(name.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, 8, 6));
    ASSERT_NE(h, nullptr);
    UpdateWindow(h);
    DispatchPending();

    // An "F" of distinct indices, 3 × 4, so that a flip or a transposition shows.
    const uint8_t picture[4][3] = {{10, 11, 12}, {20, 0, 0}, {30, 31, 0}, {40, 0, 0}};
    void* bits = nullptr;
    HBITMAP bitmap = NewSection(3, 4, &bits);
    ASSERT_NE(bitmap, nullptr);
    for (int y = 0; y < 4; ++y) std::memcpy(static_cast<uint8_t*>(bits) + 4 * y, picture[y], 3);

    HDC window = GetDC(h);
    ASSERT_NE(window, nullptr);
    HDC memory = CreateCompatibleDC(window);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(window, 2, 1, 3, 4, memory, 0, 0, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(GetPixel(window, 2 + x, 1 + y), ColourOf(picture[y][x])) << "(" << x << ", " << y << ")";
    // The memory context reads back the section's colours as well.
    EXPECT_EQ(GetPixel(memory, 0, 2), ColourOf(30));
    EXPECT_EQ(GetPixel(memory, 3, 0), CLR_INVALID);  // outside the bitmap
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(h, window);
    DeleteObject(bitmap);
}

// --- Menus ----------------------------------------------------------------------------------

// A MENUITEMINFOA names its own size in cbSize. Win32 knows two records: the first one, which
// ends before the item bitmap (hbmpItem), and the whole one. It takes exactly those two sizes and
// refuses every other, larger ones included: nothing is taken from a record of another size, and
// nothing written into it.
TEST_F(PlatformContract, MenuItemInfoTakesTheOldAndTheWholeRecordOnly) {
    // The record: five UINTs, then (padded to a pointer) three handles, a ULONG_PTR and a
    // pointer, a UINT, and last the item bitmap's handle.
    const bool wide = sizeof(void*) == 8;
    const UINT old = wide ? 72 : 44, whole = wide ? 80 : 48;
    const UINT refused[] = {0, 40, wide ? 44u : 72u, wide ? 48u : 80u, old - 4, old + 4, whole + 4, whole + 8,
                            whole + 16, 160, 4096};
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 7, "Item"));
    // The record lies at the start of a larger zeroed block: a call reading as far as cbSize says
    // stays inside it.
    struct Padded {
        MENUITEMINFOA info;
        unsigned char beyond[4096];
    };
    auto set = [&](UINT size, UINT id) {
        Padded p{};
        p.info.cbSize = size;
        p.info.fMask = MIIM_ID;
        p.info.wID = id;
        return SetMenuItemInfoA(menu, 0, TRUE, &p.info);
    };
    auto get = [&](UINT size, UINT* id) {
        Padded p{};
        p.info.cbSize = size;
        p.info.fMask = MIIM_ID;
        p.info.wID = 0xABCD;
        BOOL ok = GetMenuItemInfoA(menu, 0, TRUE, &p.info);
        *id = p.info.wID;
        return ok;
    };
    UINT id = 0;
    for (UINT size : {old, whole}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(set(size, 100 + size));
        EXPECT_EQ(GetMenuItemID(menu, 0), 100 + size);
        EXPECT_TRUE(get(size, &id));
        EXPECT_EQ(id, 100 + size);
    }
    for (UINT size : refused) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(set(size, 5000 + size));
        EXPECT_EQ(GetMenuItemID(menu, 0), 100 + whole);
        EXPECT_FALSE(get(size, &id));
        EXPECT_EQ(id, 0xABCDu);
    }
    EXPECT_TRUE(DestroyMenu(menu));
}

// --- Keys and time --------------------------------------------------------------------------

TEST_F(PlatformContract, AsyncKeyStateReportsDownNowAndPressedSinceTheLastQuery) {
    // 0x8000: down now. 0x0001: pressed since the previous query (which the query clears).
    const int key = VK_F1 + 7;  // F8: nothing reacts to it
    GetAsyncKeyState(key);
    struct Step {
        const char* what;
        int press;  // 1 down, -1 up, 2 down and up, 0 nothing
        SHORT expected;
    };
    const std::vector<Step> steps = {
        {"untouched", 0, 0},
        {"pressed", 1, static_cast<SHORT>(0x8001)},
        {"still held", 0, static_cast<SHORT>(0x8000)},
        {"released", -1, 0},
        {"pressed and released between queries", 2, 0x0001},
        {"queried again", 0, 0},
    };
    for (const Step& s : steps) {
        if (s.press == 1 || s.press == 2) synth::KeyDown(key);
        if (s.press == -1 || s.press == 2) synth::KeyUp(key);
        SHORT state = GetAsyncKeyState(key);
        EXPECT_EQ(static_cast<unsigned short>(state), static_cast<unsigned short>(s.expected)) << s.what;
    }
    DispatchPending();
}

// GetKeyState answers as of the input message taken last, whatever the keys do meanwhile: Ctrl+Z
// pressed and let go before any message is read is still Ctrl+Z when the messages are read. The
// low bit flips at each press and holds at the release. A key message a program posts is no
// input and moves nothing.
TEST_F(PlatformContract, KeyStateIsAsOfTheMessageTakenLast) {
    HWND h = Shown(kWindowed, 100, 100, 200, 150);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(GetFocus(), h);
    const SHORT zBefore = GetKeyState('Z');
    synth::KeyDown(VK_CONTROL);
    synth::KeyDown('Z');
    synth::KeyUp('Z');
    synth::KeyUp(VK_CONTROL);
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0) << "Ctrl is up by now";
    struct Seen {
        UINT message;
        WPARAM key;
        bool controlDown, zDown, zToggled;
        bool operator==(const Seen&) const = default;
    };
    const bool toggledBefore = (zBefore & 1) != 0;
    std::vector<Seen> seen;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP)
            seen.push_back({msg.message, msg.wParam, GetKeyState(VK_CONTROL) < 0, GetKeyState('Z') < 0, (GetKeyState('Z') & 1) != 0});
        Dispatch(msg);
    }
    const std::vector<Seen> expected = {{WM_KEYDOWN, VK_CONTROL, true, false, toggledBefore},
                                        {WM_KEYDOWN, 'Z', true, true, !toggledBefore},
                                        {WM_KEYUP, 'Z', true, false, !toggledBefore},
                                        {WM_KEYUP, VK_CONTROL, false, false, !toggledBefore}};
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_TRUE(seen[i] == expected[i]) << "message " << i;

    ASSERT_TRUE(PostMessageA(h, WM_KEYDOWN, 'Q', 1));
    ASSERT_TRUE(PeekMessageA(&msg, h, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_GE(GetKeyState('Q'), 0) << "a posted key message is no key going down";
    EXPECT_EQ(GetKeyState(-1), 0);
}

// Mouse messages carry the buttons and the modifier keys held, as MK_* flags in wParam.
TEST_F(PlatformContract, MouseMessagesCarryTheModifiersHeld) {
    HWND h = Shown(WS_POPUP, 100, 120, 200, 150);
    ASSERT_NE(h, nullptr);
    for (int modifier : {VK_SHIFT, VK_CONTROL}) {
        synth::KeyDown(modifier);
        synth::PressLeft(h, 40, 50);
        synth::ReleaseLeft(h, 40, 50);
        synth::KeyUp(modifier);
    }
    std::vector<std::pair<UINT, WPARAM>> clicks;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONUP) clicks.emplace_back(msg.message, msg.wParam);
        Dispatch(msg);
    }
    const std::vector<std::pair<UINT, WPARAM>> expected = {{WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT},
                                                           {WM_LBUTTONUP, MK_SHIFT},
                                                           {WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL},
                                                           {WM_LBUTTONUP, MK_CONTROL}};
    EXPECT_EQ(clicks, expected);
}

// A push button takes the keyboard focus when it is pressed; a click, or the space bar while it
// has the focus, sends WM_COMMAND with its identifier and BN_CLICKED to its parent. A push-like
// check box keeps the check the program gives it (BM_SETCHECK, BM_GETCHECK); the automatic one
// turns it over at each click.
TEST_F(PlatformContract, ButtonsTakeTheFocusClickAndKeepTheirCheck) {
    HWND h = Shown(WS_POPUP, 100, 120, 300, 100);
    ASSERT_NE(h, nullptr);
    auto button = [&](DWORD style, int left, int id) {
        return CreateWindowExA(0, "BUTTON", "B", WS_CHILD | WS_VISIBLE | style, left, 10, 80, 30, h,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    };
    HWND check = button(BS_CHECKBOX | BS_PUSHLIKE, 10, 7);
    HWND automatic = button(BS_AUTOCHECKBOX | BS_PUSHLIKE, 110, 8);
    ASSERT_TRUE(check && automatic);
    DispatchPending();
    messageLog.clear();
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(SendMessageA(check, BM_GETSTATE, 0, 0) & BST_CHECKED);

    auto click = [&](int x) {
        synth::PressLeft(h, x, 25);
        synth::ReleaseLeft(h, x, 25);
        DispatchPending();
    };
    click(50);
    EXPECT_EQ(GetFocus(), check);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED) << "a check box that is not automatic";
    synth::KeyDown(VK_SPACE);
    synth::KeyUp(VK_SPACE);
    DispatchPending();
    click(150);
    EXPECT_EQ(GetFocus(), automatic);
    EXPECT_EQ(SendMessageA(automatic, BM_GETCHECK, 0, 0), BST_CHECKED);
    click(150);
    EXPECT_EQ(SendMessageA(automatic, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    std::vector<std::pair<WPARAM, HWND>> commands;
    for (const Logged& l : messageLog)
        if (l.message == WM_COMMAND && l.hwnd == h) commands.emplace_back(l.wParam, reinterpret_cast<HWND>(l.lParam));
    messageLog.clear();
    const std::vector<std::pair<WPARAM, HWND>> expected = {{MAKEWPARAM(7, BN_CLICKED), check},
                                                           {MAKEWPARAM(7, BN_CLICKED), check},
                                                           {MAKEWPARAM(8, BN_CLICKED), automatic},
                                                           {MAKEWPARAM(8, BN_CLICKED), automatic}};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(SetFocus(h), automatic);
    EXPECT_EQ(GetFocus(), h);
}

// The wheel: WM_MOUSEWHEEL posted to the window under the pointer, whichever has the keyboard
// focus (the one shown last), the turn in wParam's high word as a signed number, the mouse
// buttons and Shift and Control held in its low word (none here), the pointer's screen position
// in lParam. Two borderless windows at known places: the client's corner is the window's.
TEST_F(PlatformContract, TheWheelGoesToTheWindowUnderThePointerWithItsTurnAndScreenPosition) {
    std::string name = NewClass();
    HWND other = Keep(Create(name.c_str(), WS_POPUP, 100, 120, 200, 150));
    HWND focus = Keep(Create(name.c_str(), WS_POPUP, 400, 130, 200, 150));
    ASSERT_TRUE(other && focus);
    ShowWindow(other, SW_SHOW);
    ShowWindow(focus, SW_SHOW);
    DispatchPending();
    messageLog.clear();
    synth::TurnWheel(focus, 20, 30, WHEEL_DELTA);
    DispatchPending();
    synth::TurnWheel(focus, 150, 5, -2 * WHEEL_DELTA);
    DispatchPending();
    synth::TurnWheel(other, 50, 60, WHEEL_DELTA);
    DispatchPending();
    std::vector<HWND> to;
    for (const Logged& l : messageLog) to.push_back(l.hwnd);
    EXPECT_EQ(to, (std::vector<HWND>{focus, focus, other}));
    const WORD twoNotchesBack = 0x10000 - 2 * WHEEL_DELTA;  // −240 as a word
    const WPARAM back = MAKEWPARAM(0, twoNotchesBack);
    ExpectSequence({{WM_MOUSEWHEEL, kPosted | kWParam | kLParam, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(420, 160)},
                    {WM_MOUSEWHEEL, kPosted | kWParam | kLParam, back, MAKELPARAM(550, 135)},
                    {WM_MOUSEWHEEL, kPosted | kWParam | kLParam, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(150, 180)}},
                   "the wheel");
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(back), -240);
}

TEST_F(PlatformContract, TickCountNeverGoesBackAndSleepAdvancesIt) {
    DWORD previous = GetTickCount();
    const DWORD start = previous;
    for (int i = 0; i < 1000; ++i) {
        DWORD now = GetTickCount();
        EXPECT_LT(now - previous, 0x80000000u);  // a difference, so that a wrap-around is no step back
        previous = now;
    }
    Sleep(50);
    const DWORD slept = GetTickCount() - start;
    // The tick count moves in steps of the system timer (10 to 16 ms), which each of the two
    // reads may lag by one step.
    EXPECT_GE(slept, 50u - 2 * 16u);
    EXPECT_LT(slept, 10000u);
}

}  // namespace
