// Button groups on native push buttons, and the registry of live groups through which the window
// procedure recognises the buttons that are theirs.
#include "win/button_group.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/system.h"
#include "win/window.h"

namespace {

constexpr DWORD kPushButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;  // 0x50000000
constexpr DWORD kCheckButtonStyle = WS_CHILD | WS_VISIBLE | BS_CHECKBOX | BS_PUSHLIKE;

// Every group from construction to destruction. A button's user data is only a number: it names
// a group only while that group is here and holds the button.
std::vector<ButtonGroup*>& LiveGroups() {
    static std::vector<ButtonGroup*> groups;
    return groups;
}

bool IsPushButtonClass(HWND control) {
    char name[8] = {};
    if (GetClassNameA(control, name, sizeof name) != 6) return false;
    // Class names compare without regard to case; Win32 calls this one "Button".
    const char* expected = "BUTTON";
    for (int i = 0; i < 6; ++i) {
        char c = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
        if (c != expected[i]) return false;
    }
    return true;
}

}  // namespace

ButtonGroup::ButtonGroup(Window* groupOwner) : kind(kButtonGroupKind), buttons(nullptr), owner(groupOwner) {
    LiveGroups().push_back(this);
}

ButtonGroup::~ButtonGroup() {
    std::erase(LiveGroups(), this);
    while (buttons) {
        ButtonRecord* next = buttons->next;
        std::free(buttons->caption);
        delete buttons;
        buttons = next;
    }
}

namespace {

// A button of `style` for the group; see AddButton.
bool AddStyled(ButtonGroup& group, short x1, short y1, short x2, short y2, const char* caption, short id, DWORD style) {
    if (group.HasButton(id)) return false;
    char* copy = nullptr;
    if (caption) {
        size_t size = std::strlen(caption) + 1;
        copy = static_cast<char*>(std::malloc(size));
        if (copy) std::memcpy(copy, caption, size);
    }
    HWND parent = group.owner ? static_cast<HWND>(group.owner->GetHandle(kWindowHandlerKey)) : nullptr;
    HWND hwnd = CreateWindowExA(0, "BUTTON", copy, style, x1, y1, std::abs(x2 - x1), std::abs(y2 - y1), parent,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), InstanceHandle(), nullptr);
    if (!hwnd) {
        std::free(copy);
        return false;
    }
    // The whole address: a 32-bit slot would cut it on a 64-bit system.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&group));
    group.buttons = new ButtonRecord{x1, y1, x2, y2, id, copy, hwnd, group.buttons};
    return true;
}

}  // namespace

bool ButtonGroup::AddButton(short x1, short y1, short x2, short y2, const char* caption, short id) {
    return AddStyled(*this, x1, y1, x2, y2, caption, id, kPushButtonStyle);
}

bool ButtonGroup::AddCheckButton(short x1, short y1, short x2, short y2, const char* caption, short id) {
    return AddStyled(*this, x1, y1, x2, y2, caption, id, kCheckButtonStyle);
}

bool ButtonGroup::HasButton(short id) const {
    for (const ButtonRecord* b = buttons; b; b = b->next)
        if (b->id == id) return true;
    return false;
}

void ButtonGroup::SetButtonCheck(short id, bool checked) {
    for (const ButtonRecord* b = buttons; b; b = b->next)
        if (b->id == id) SendMessageA(b->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool ButtonGroup::ButtonChecked(short id) const {
    for (const ButtonRecord* b = buttons; b; b = b->next)
        if (b->id == id) return SendMessageA(b->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return false;
}

void ButtonGroup::RedrawButtons() {
    for (const ButtonRecord* b = buttons; b; b = b->next)
        RedrawWindow(b->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

ButtonGroup* ButtonGroup::OfControl(HWND control) {
    if (!control || !IsPushButtonClass(control)) return nullptr;
    auto* claimed = reinterpret_cast<ButtonGroup*>(GetWindowLongPtrA(control, GWLP_USERDATA));
    const auto& live = LiveGroups();
    if (!claimed || std::find(live.begin(), live.end(), claimed) == live.end()) return nullptr;
    for (const ButtonRecord* b = claimed->buttons; b; b = b->next)
        if (b->hwnd == control) return claimed;
    return nullptr;
}
