// Menus as USER32 keeps them (CreateMenu … DestroyMenu, SetMenu), how a window's menu bar and
// its open drop-down look in the classic scheme, and the tracking of an open menu by pointer and
// keyboard. Picking an item posts WM_COMMAND (the item's identifier, lParam 0) to the window.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas_internal.h"
#include "platform/wm_internal.h"

namespace wm {
namespace {

using gdi::Canvas;

constexpr UINT kTypeBits = MFT_BITMAP | MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_OWNERDRAW | MFT_RADIOCHECK |
                           MFT_SEPARATOR | MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;
constexpr UINT kNoText = MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW;

// The look, in pixels. A bar title is its text with kTitlePadding on either side; a drop-down is
// a raised box kBorder thick around its items, each item text kCheckColumn right of the box's
// inside (room for the check mark) with kArrowColumn after the widest text.
constexpr int kTitlePadding = 6;
constexpr int kTitleTextTop = 6;  // glyphs centred in the 19-pixel bar
constexpr int kBorder = 3;        // a 2-pixel raised edge and a pixel of face
constexpr int kItemHeight = 16;
constexpr int kSeparatorHeight = 8;
constexpr int kCheckColumn = 18;
constexpr int kCheckLeft = 5;
constexpr int kArrowColumn = 16;
constexpr int kAcceleratorGap = 12;
constexpr int kItemTextTop = (kItemHeight - gdi::kGlyphHeight) / 2;

// The check mark of a checked item, 7 × 7.
constexpr const char* kCheckMark[] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};
// The arrow of an item that holds a further drop-down, 4 × 7.
constexpr const char* kSubmenuArrow[] = {"#...", "##..", "###.", "####", "###.", "##..", "#..."};

struct MenuItem {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU subMenu = nullptr;
    ULONG_PTR data = 0;
    std::string text;
};

struct Menu {
    std::vector<MenuItem> items;
};

// The open menu: the bar title of `window` that is open (its drop-down showing, if it has one)
// and the highlighted item of that drop-down.
struct Tracking {
    HWND window = nullptr;  // null: no menu is open
    int title = -1;
    int hot = -1;
    // The press that closed a menu belongs to the menu, and so does its release.
    bool swallowLeftUp = false;
    bool swallowRightUp = false;
};

struct State {
    std::map<uintptr_t, std::unique_ptr<Menu>> menus;
    uintptr_t nextHandle = 0x300000;
    Tracking tracking;
};

State& Menus() {
    static State state;
    return state;
}

Menu* FindMenu(HMENU handle) {
    auto& menus = Menus().menus;
    auto it = menus.find(reinterpret_cast<uintptr_t>(handle));
    return it == menus.end() ? nullptr : it->second.get();
}

HMENU NewMenu() {
    State& s = Menus();
    auto menu = std::make_unique<Menu>();
    HMENU handle = reinterpret_cast<HMENU>(s.nextHandle);
    s.nextHandle += 4;
    s.menus.emplace(reinterpret_cast<uintptr_t>(handle), std::move(menu));
    return handle;
}

// Whether `from` is `target` or holds it at any depth: a menu may not become its own drop-down.
bool Reaches(HMENU from, HMENU target) {
    if (from == target) return true;
    Menu* m = FindMenu(from);
    if (!m) return false;
    for (const MenuItem& item : m->items)
        if (item.subMenu && Reaches(item.subMenu, target)) return true;
    return false;
}

// The item an (item, byPosition) pair names: by position in `menu` itself; by identifier
// anywhere below it, depth first, a drop-down's own entry only when nothing inside it matches.
bool FindItem(HMENU menu, UINT item, bool byPosition, HMENU* owner, size_t* index) {
    Menu* m = FindMenu(menu);
    if (!m) return false;
    if (byPosition) {
        if (item >= m->items.size()) return false;
        *owner = menu;
        *index = item;
        return true;
    }
    bool fallback = false;
    for (size_t i = 0; i < m->items.size(); ++i) {
        const MenuItem& it = m->items[i];
        if (it.subMenu && FindItem(it.subMenu, item, false, owner, index)) return true;
        if (it.id == item && (!it.subMenu || !fallback)) {
            if (!it.subMenu) {
                *owner = menu;
                *index = i;
                return true;
            }
            fallback = true;
            *owner = menu;
            *index = i;
        }
    }
    return fallback;
}

bool HasText(const MenuItem& item) { return (item.type & kNoText) == 0; }
bool Separator(const MenuItem& item) { return (item.type & MFT_SEPARATOR) != 0; }
bool Enabled(const MenuItem& item) { return (item.state & (MF_GRAYED | MF_DISABLED)) == 0; }

// An item's text as shown: '&' marks the next character as the access key (underlined; "&&" is
// an ampersand), and a tab starts the accelerator text shown at the right.
struct Label {
    std::string text;
    int underline = -1;
    std::string accelerator;
};

Label LabelOf(const std::string& raw) {
    Label label;
    size_t tab = raw.find('\t');
    std::string main = raw.substr(0, tab);
    if (tab != std::string::npos) label.accelerator = raw.substr(tab + 1);
    for (size_t i = 0; i < main.size(); ++i) {
        if (main[i] != '&') {
            label.text += main[i];
        } else if (i + 1 < main.size() && main[i + 1] == '&') {
            label.text += '&';
            ++i;
        } else if (i + 1 < main.size()) {
            label.underline = static_cast<int>(label.text.size());
        }
    }
    return label;
}

int TextWidth(const std::string& text) { return static_cast<int>(text.size()) * gdi::kTextCellWidth; }

void DrawLabel(const Canvas& c, int x, int y, const Label& label, uint32_t ink) {
    gdi::DrawText32(c, x, y, label.text.data(), static_cast<int>(label.text.size()), ink, nullptr);
    if (label.underline >= 0) {
        int ux = x + label.underline * gdi::kTextCellWidth;
        gdi::Fill(c, ux, y + gdi::kTextCellHeight, ux + gdi::kTextCellWidth - 1, y + gdi::kTextCellHeight + 1, ink);
    }
}

// A disabled item's text, etched: white one pixel down and right under grey.
void DrawEtchedLabel(const Canvas& c, int x, int y, const Label& label) {
    DrawLabel(c, x + 1, y + 1, label, gdi::kHighlight);
    DrawLabel(c, x, y, label, gdi::kShadow);
}

void DrawPattern(const Canvas& c, int x, int y, const char* const* rows, int height, uint32_t ink) {
    for (int row = 0; row < height; ++row)
        for (int col = 0; rows[row][col]; ++col)
            if (rows[row][col] == '#') gdi::Fill(c, x + col, y + row, x + col + 1, y + row + 1, ink);
}

// The bar's titles, left to right from the window's left edge: [left, right) of each item.
// Items without text take no room.
std::vector<std::pair<int, int>> TitleSpans(const Menu& bar) {
    std::vector<std::pair<int, int>> spans;
    int x = 0;
    for (const MenuItem& item : bar.items) {
        int width = HasText(item) ? TextWidth(LabelOf(item.text).text) + 2 * kTitlePadding : 0;
        spans.emplace_back(x, x + width);
        x += width;
    }
    return spans;
}

int TitleAt(const Menu& bar, int x) {
    auto spans = TitleSpans(bar);
    for (size_t i = 0; i < spans.size(); ++i)
        if (x >= spans[i].first && x < spans[i].second) return static_cast<int>(i);
    return -1;
}

// Where the open drop-down lies in the view: below its title, moved left and up as far as it
// must to stay inside the view.
struct DropDown {
    const Menu* menu = nullptr;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<int> itemTops;  // in the view

    int ItemAt(int x, int y) const {
        if (x < left + kBorder || x >= left + width - kBorder) return -1;
        for (size_t i = 0; i < itemTops.size(); ++i) {
            int h = Separator(menu->items[i]) ? kSeparatorHeight : kItemHeight;
            if (y >= itemTops[i] && y < itemTops[i] + h) return static_cast<int>(i);
        }
        return -1;
    }
    bool Contains(int x, int y) const { return menu && x >= left && y >= top && x < left + width && y < top + height; }
};

Menu* BarOf(HWND window) {
    WindowRecord* w = FindWindow(window);
    return w ? FindMenu(w->menu) : nullptr;
}

const MenuItem* OpenTitle() {
    const Tracking& t = Menus().tracking;
    Menu* bar = BarOf(t.window);
    if (!bar || t.title < 0 || static_cast<size_t>(t.title) >= bar->items.size()) return nullptr;
    return &bar->items[static_cast<size_t>(t.title)];
}

DropDown OpenDropDown() {
    DropDown d;
    const Tracking& t = Menus().tracking;
    WindowRecord* w = FindWindow(t.window);
    const MenuItem* title = OpenTitle();
    Menu* menu = title ? FindMenu(title->subMenu) : nullptr;
    if (!w || !menu || menu->items.empty()) return d;
    d.menu = menu;
    int textWidth = 0;
    int acceleratorWidth = 0;
    int height = 0;
    for (const MenuItem& item : menu->items) {
        if (HasText(item)) {
            Label label = LabelOf(item.text);
            textWidth = std::max(textWidth, TextWidth(label.text));
            acceleratorWidth = std::max(acceleratorWidth, TextWidth(label.accelerator));
        }
        height += Separator(item) ? kSeparatorHeight : kItemHeight;
    }
    d.width = 2 * kBorder + kCheckColumn + textWidth + (acceleratorWidth ? kAcceleratorGap + acceleratorWidth : 0) + kArrowColumn;
    d.height = 2 * kBorder + height;
    int viewWidth = w->clientWidth;
    int viewHeight = w->clientHeight + MenuBarHeight(*w);
    d.left = std::max(0, std::min(TitleSpans(*BarOf(t.window))[static_cast<size_t>(t.title)].first, viewWidth - d.width));
    d.top = std::max(0, std::min(MenuBarHeight(*w), viewHeight - d.height));
    int y = d.top + kBorder;
    for (const MenuItem& item : menu->items) {
        d.itemTops.push_back(y);
        y += Separator(item) ? kSeparatorHeight : kItemHeight;
    }
    return d;
}

void Reshow(HWND window) {
    if (WindowRecord* w = FindWindow(window)) ShowClient(*w);
}

void Open(HWND window, int title, int hot) {
    Tracking& t = Menus().tracking;
    HWND before = t.window;
    t.window = window;
    t.title = title;
    t.hot = hot;
    if (before && before != window) Reshow(before);
    Reshow(window);
}

void SetHot(int hot) {
    Tracking& t = Menus().tracking;
    if (t.hot == hot) return;
    t.hot = hot;
    Reshow(t.window);
}

// The item's command goes to the window once the menu is closed, as Win32 posts it.
void Pick(const MenuItem& item) {
    HWND window = Menus().tracking.window;
    UINT id = item.id;
    CloseMenu();
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool Pickable(const MenuItem& item) { return !Separator(item) && Enabled(item) && !item.subMenu; }

// The next item from `from` in direction `step` that can be highlighted, going round; -1 for none.
int NextHot(const Menu& menu, int from, int step) {
    const int count = static_cast<int>(menu.items.size());
    const int start = from >= 0 ? from : (step > 0 ? -1 : count);
    for (int n = 1; n <= count; ++n) {
        int i = ((start + step * n) % count + count) % count;
        if (!Separator(menu.items[static_cast<size_t>(i)])) return i;
    }
    return -1;
}

// A change to a menu shows at once when it is the one open.
void MenuChanged() {
    if (Menus().tracking.window) Reshow(Menus().tracking.window);
}

}  // namespace

bool MenuOpenOn(HWND top) { return top && Menus().tracking.window == top; }

void CloseMenu() {
    Tracking& t = Menus().tracking;
    HWND before = t.window;
    t.window = nullptr;
    t.title = -1;
    t.hot = -1;
    if (before) Reshow(before);
}

bool MenuTakesPointer(WindowRecord& top, Pointer event, int x, int y) {
    Tracking& t = Menus().tracking;
    if (event == Pointer::LeftDown) t.swallowLeftUp = false;
    if (event == Pointer::RightDown) t.swallowRightUp = false;
    if (event == Pointer::LeftUp && t.swallowLeftUp) {
        t.swallowLeftUp = false;
        return true;
    }
    if (event == Pointer::RightUp && t.swallowRightUp) {
        t.swallowRightUp = false;
        return true;
    }
    const int barHeight = MenuBarHeight(top);
    const bool onBar = y >= 0 && y < barHeight;
    Menu* bar = FindMenu(top.menu);
    int title = onBar && bar ? TitleAt(*bar, x) : -1;

    if (!t.window) {
        if (!onBar) return false;
        if (event == Pointer::LeftDown && title >= 0) Open(top.handle, title, -1);
        return true;  // the bar is not the client area: nothing of it reaches the window
    }
    // An open menu has the pointer, wherever it is; a press anywhere but on the menu closes it.
    if (t.window != top.handle) {
        if (event == Pointer::LeftDown || event == Pointer::RightDown) {
            CloseMenu();
            (event == Pointer::LeftDown ? t.swallowLeftUp : t.swallowRightUp) = true;
        }
        return true;
    }
    DropDown drop = OpenDropDown();
    if (drop.Contains(x, y)) title = -1;  // a drop-down moved up over the bar lies on top of it
    const int item = drop.menu ? drop.ItemAt(x, y) : -1;
    const MenuItem* under = item >= 0 ? &drop.menu->items[static_cast<size_t>(item)] : nullptr;
    switch (event) {
        case Pointer::Move:
            if (title >= 0 && title != t.title)
                Open(top.handle, title, -1);
            else if (title < 0)
                SetHot(under && !Separator(*under) ? item : -1);
            break;
        case Pointer::LeftDown:
            if (title >= 0 && title != t.title) {
                Open(top.handle, title, -1);
            } else if (title >= 0 || !drop.Contains(x, y)) {
                CloseMenu();
                t.swallowLeftUp = true;
            }
            break;
        case Pointer::LeftUp:
            if (under && Pickable(*under)) {
                Pick(*under);
            } else if (title >= 0 && title == t.title) {
                // A bar entry without a drop-down is a command of its own.
                if (const MenuItem* entry = OpenTitle(); entry && Pickable(*entry)) Pick(*entry);
            }
            break;
        case Pointer::RightDown:
            if (title < 0 && !drop.Contains(x, y)) {
                CloseMenu();
                t.swallowRightUp = true;
            }
            break;
        case Pointer::RightUp:
            break;
    }
    return true;
}

bool MenuTakesKey(int virtualKey, bool down) {
    Tracking& t = Menus().tracking;
    if (!t.window) return false;
    if (!down) return true;
    Menu* bar = BarOf(t.window);
    DropDown drop = OpenDropDown();
    switch (virtualKey) {
        case VK_ESCAPE:
            CloseMenu();
            break;
        case VK_DOWN:
        case VK_UP:
            if (drop.menu) SetHot(NextHot(*drop.menu, t.hot, virtualKey == VK_DOWN ? 1 : -1));
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (bar && !bar->items.empty()) {
                int count = static_cast<int>(bar->items.size());
                int step = virtualKey == VK_RIGHT ? 1 : -1;
                int title = t.title;
                for (int n = 0; n < count; ++n) {
                    title = (title + step + count) % count;
                    if (HasText(bar->items[static_cast<size_t>(title)])) break;
                }
                Open(t.window, title, -1);
                if (DropDown next = OpenDropDown(); next.menu) SetHot(NextHot(*next.menu, -1, 1));
            }
            break;
        case VK_RETURN:
            if (drop.menu && t.hot >= 0 && Pickable(drop.menu->items[static_cast<size_t>(t.hot)]))
                Pick(drop.menu->items[static_cast<size_t>(t.hot)]);
            break;
        default:
            break;
    }
    return true;
}

void PaintMenuBar(const WindowRecord& top, uint32_t* pixels, int width, int height) {
    Canvas c{pixels, width, height, width};
    gdi::Fill(c, 0, 0, width, height, gdi::kFace);
    Menu* bar = FindMenu(top.menu);
    if (!bar) return;
    const Tracking& t = Menus().tracking;
    auto spans = TitleSpans(*bar);
    for (size_t i = 0; i < bar->items.size(); ++i) {
        const MenuItem& item = bar->items[i];
        auto [left, right] = spans[i];
        if (left == right) continue;
        // The open title is drawn pressed in: a sunken edge, its text a pixel down and right.
        int shift = 0;
        if (t.window == top.handle && t.title == static_cast<int>(i)) {
            gdi::Edge(c, left, 0, right, height, gdi::kShadow, gdi::kHighlight);
            shift = 1;
        }
        Label label = LabelOf(item.text);
        if (Enabled(item))
            DrawLabel(c, left + kTitlePadding + shift, kTitleTextTop + shift, label, gdi::kText);
        else
            DrawEtchedLabel(c, left + kTitlePadding + shift, kTitleTextTop + shift, label);
    }
}

void PaintOpenMenu(const WindowRecord& top, uint32_t* pixels, int width, int height) {
    const Tracking& t = Menus().tracking;
    if (t.window != top.handle) return;
    DropDown d = OpenDropDown();
    if (!d.menu) return;
    Canvas c{pixels, width, height, width};
    const int right = d.left + d.width;
    const int bottom = d.top + d.height;
    gdi::Fill(c, d.left, d.top, right, bottom, gdi::kFace);
    gdi::Edge(c, d.left, d.top, right, bottom, gdi::kLight, gdi::kDarkShadow);
    gdi::Edge(c, d.left + 1, d.top + 1, right - 1, bottom - 1, gdi::kHighlight, gdi::kShadow);
    for (size_t i = 0; i < d.menu->items.size(); ++i) {
        const MenuItem& item = d.menu->items[i];
        const int y = d.itemTops[i];
        if (Separator(item)) {
            gdi::Fill(c, d.left + kBorder + 1, y + 3, right - kBorder - 1, y + 4, gdi::kShadow);
            gdi::Fill(c, d.left + kBorder + 1, y + 4, right - kBorder - 1, y + 5, gdi::kHighlight);
            continue;
        }
        const bool hot = t.hot == static_cast<int>(i);
        if (hot) gdi::Fill(c, d.left + kBorder, y, right - kBorder, y + kItemHeight, gdi::kSelection);
        if (!HasText(item)) continue;
        const uint32_t ink = !Enabled(item) ? gdi::kShadow : hot ? gdi::kSelectionText : gdi::kText;
        const int textTop = y + kItemTextTop;
        const int textLeft = d.left + kBorder + kCheckColumn;
        if (item.state & MF_CHECKED) DrawPattern(c, d.left + kBorder + kCheckLeft, textTop, kCheckMark, 7, ink);
        Label label = LabelOf(item.text);
        Label accelerator{label.accelerator, -1, {}};
        const int acceleratorLeft = right - kBorder - kArrowColumn - TextWidth(label.accelerator);
        if (!Enabled(item) && !hot) {
            DrawEtchedLabel(c, textLeft, textTop, label);
            DrawEtchedLabel(c, acceleratorLeft, textTop, accelerator);
        } else {
            DrawLabel(c, textLeft, textTop, label, ink);
            DrawLabel(c, acceleratorLeft, textTop, accelerator, ink);
        }
        if (item.subMenu) DrawPattern(c, right - kBorder - 10, textTop, kSubmenuArrow, 7, ink);
    }
}

void DestroyMenusOf(WindowRecord& window) {
    if ((window.style & WS_CHILD) || !window.menu) return;
    DestroyMenu(window.menu);
    window.menu = nullptr;
}

void ResetMenus() {
    Menus().menus.clear();
    Menus().tracking = Tracking{};
}

}  // namespace wm

using wm::FindMenu;

HMENU WINAPI CreateMenu() { return wm::NewMenu(); }

HMENU WINAPI CreatePopupMenu() { return wm::NewMenu(); }

// Destroys the menu and every drop-down it holds, as Win32 does.
BOOL WINAPI DestroyMenu(HMENU menu) {
    wm::Menu* m = FindMenu(menu);
    if (!m) return FALSE;
    std::vector<HMENU> doomed{menu};
    for (size_t i = 0; i < doomed.size(); ++i)
        if (wm::Menu* each = FindMenu(doomed[i]))
            for (const wm::MenuItem& item : each->items)
                if (item.subMenu && std::find(doomed.begin(), doomed.end(), item.subMenu) == doomed.end())
                    doomed.push_back(item.subMenu);
    wm::Tracking& t = wm::Menus().tracking;
    if (t.window) {
        wm::WindowRecord* w = wm::FindWindow(t.window);
        const wm::MenuItem* title = wm::OpenTitle();
        for (HMENU h : doomed)
            if ((w && w->menu == h) || (title && title->subMenu == h)) {
                wm::CloseMenu();
                break;
            }
    }
    for (HMENU h : doomed) wm::Menus().menus.erase(reinterpret_cast<uintptr_t>(h));
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU menu) { return FindMenu(menu) ? TRUE : FALSE; }

BOOL WINAPI InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem) {
    wm::Menu* m = FindMenu(menu);
    if (!m) return FALSE;
    wm::MenuItem item;
    item.type = flags & wm::kTypeBits;
    item.state = flags & wm::kStateBits;
    item.id = static_cast<UINT>(idNewItem);
    if (flags & MF_POPUP) {
        auto sub = reinterpret_cast<HMENU>(idNewItem);
        if (!FindMenu(sub) || wm::Reaches(sub, menu)) return FALSE;
        item.subMenu = sub;
    }
    if (flags & MF_OWNERDRAW) item.data = reinterpret_cast<ULONG_PTR>(newItem);
    // A text item without text is a separator, as on Win32.
    if (wm::HasText(item)) {
        if (newItem)
            item.text = newItem;
        else
            item.type |= MFT_SEPARATOR;
    }
    HMENU owner = menu;
    size_t index = m->items.size();
    if (flags & MF_BYPOSITION) {
        index = std::min<size_t>(position, m->items.size());
    } else if (!wm::FindItem(menu, position, false, &owner, &index)) {
        owner = menu;
        index = m->items.size();
    }
    wm::Menu* into = FindMenu(owner);
    into->items.insert(into->items.begin() + static_cast<ptrdiff_t>(index), item);
    wm::MenuChanged();
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem) {
    return InsertMenuA(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, idNewItem, newItem);
}

namespace {

// Win32 takes the record with or without its item bitmap, and refuses every other size, larger
// ones included (the platform contract test shows it).
bool KnownItemInfo(const MENUITEMINFOA* info) {
    return info && (info->cbSize == kMenuItemInfoSizeWithoutBitmap || info->cbSize == sizeof(MENUITEMINFOA));
}

}  // namespace

BOOL WINAPI SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
    if (!KnownItemInfo(info)) return FALSE;
    const UINT mask = info->fMask;
    if ((mask & MIIM_TYPE) && (mask & (MIIM_FTYPE | MIIM_STRING | MIIM_BITMAP))) return FALSE;
    HMENU owner = nullptr;
    size_t index = 0;
    if (!wm::FindItem(menu, item, byPosition != FALSE, &owner, &index)) return FALSE;
    if ((mask & MIIM_SUBMENU) && info->hSubMenu && (!FindMenu(info->hSubMenu) || wm::Reaches(info->hSubMenu, owner)))
        return FALSE;
    wm::MenuItem& it = FindMenu(owner)->items[index];
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) it.type = info->fType & wm::kTypeBits;
    if (((mask & MIIM_TYPE) && wm::HasText(it)) || (mask & MIIM_STRING)) it.text = info->dwTypeData ? info->dwTypeData : "";
    if (mask & MIIM_STATE) it.state = info->fState & wm::kStateBits;
    if (mask & MIIM_ID) it.id = info->wID;
    if (mask & MIIM_SUBMENU) it.subMenu = info->hSubMenu;
    if (mask & MIIM_DATA) it.data = info->dwItemData;
    wm::MenuChanged();
    return TRUE;
}

BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) {
    if (!KnownItemInfo(info)) return FALSE;
    HMENU owner = nullptr;
    size_t index = 0;
    if (!wm::FindItem(menu, item, byPosition != FALSE, &owner, &index)) return FALSE;
    const wm::MenuItem& it = FindMenu(owner)->items[index];
    const UINT mask = info->fMask;
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it.type;
    if ((mask & MIIM_STRING) || ((mask & MIIM_TYPE) && wm::HasText(it))) {
        // Without a buffer, cch receives the text's length; with one, as much as fits is copied
        // with its terminating NUL and cch receives the count copied.
        if (!info->dwTypeData || info->cch == 0) {
            info->cch = static_cast<UINT>(it.text.size());
        } else {
            size_t n = std::min<size_t>(it.text.size(), info->cch - 1);
            it.text.copy(info->dwTypeData, n);
            info->dwTypeData[n] = '\0';
            info->cch = static_cast<UINT>(n);
        }
    }
    if (mask & MIIM_STATE) info->fState = it.state;
    if (mask & MIIM_ID) info->wID = it.id;
    if (mask & MIIM_SUBMENU) info->hSubMenu = it.subMenu;
    if (mask & MIIM_DATA) info->dwItemData = it.data;
    if (mask & MIIM_CHECKMARKS) info->hbmpChecked = info->hbmpUnchecked = nullptr;
    if ((mask & MIIM_BITMAP) && info->cbSize == sizeof(MENUITEMINFOA)) info->hbmpItem = nullptr;
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU menu) {
    wm::Menu* m = FindMenu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

// A drop-down's own entry has no command: -1, as for a position that holds nothing.
UINT WINAPI GetMenuItemID(HMENU menu, int position) {
    wm::Menu* m = FindMenu(menu);
    if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size()) return static_cast<UINT>(-1);
    const wm::MenuItem& item = m->items[static_cast<size_t>(position)];
    return item.subMenu ? static_cast<UINT>(-1) : item.id;
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check) {
    HMENU owner = nullptr;
    size_t index = 0;
    if (!wm::FindItem(menu, item, (check & MF_BYPOSITION) != 0, &owner, &index)) return static_cast<DWORD>(-1);
    wm::MenuItem& it = FindMenu(owner)->items[index];
    DWORD before = it.state & MF_CHECKED;
    it.state = (it.state & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
    wm::MenuChanged();
    return before;
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
    wm::Menu* m = FindMenu(menu);
    if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size()) return nullptr;
    return m->items[static_cast<size_t>(position)].subMenu;
}

// The window keeps its outer rectangle: a bar that comes takes its height from the client area,
// one that goes gives it back.
BOOL WINAPI SetMenu(HWND hwnd, HMENU menu) {
    wm::WindowRecord* w = wm::FindWindow(hwnd);
    if (!w || (w->style & WS_CHILD) || (menu && !FindMenu(menu))) return FALSE;
    if (wm::MenuOpenOn(hwnd) && w->menu != menu) wm::CloseMenu();
    w->menu = menu;
    wm::FrameChanged(*w);
    if ((w = wm::FindWindow(hwnd)) != nullptr) wm::ShowClient(*w);
    return TRUE;
}

HMENU WINAPI GetMenu(HWND hwnd) {
    wm::WindowRecord* w = wm::FindWindow(hwnd);
    return w && !(w->style & WS_CHILD) ? w->menu : nullptr;
}

BOOL WINAPI DrawMenuBar(HWND hwnd) {
    wm::WindowRecord* w = wm::FindWindow(hwnd);
    if (!w) return FALSE;
    wm::ShowClient(*w);
    return TRUE;
}
