// The tables' lookups.
#include "sandbox/controls.h"

namespace sandbox {

static_assert(static_cast<int>(MenuTitle::Time) + 1 == kMenuCount);

namespace {

// The tables are in the enums' order, so an enum value is its row.
constexpr bool InOrder() {
    for (int i = 0; i < kToolCount; ++i)
        if (static_cast<int>(kTools[i].tool) != i) return false;
    for (int i = 0; i < kCommandCount; ++i)
        if (static_cast<int>(kCommands[i].command) != i) return false;
    return true;
}
static_assert(InOrder(), "the tables list the tools and commands in their enums' order");

constexpr int Buttons() {
    int n = kToolCount;
    for (const CommandControl& c : kCommands) n += c.button != 0;
    return n;
}
static_assert(Buttons() == kButtonCount);

}  // namespace

const ToolControl& ControlOf(Tool tool) { return kTools[static_cast<int>(tool)]; }
const CommandControl& ControlOf(Command command) { return kCommands[static_cast<int>(command)]; }

std::vector<MenuEntry> MenuEntries(MenuTitle menu) {
    std::vector<MenuEntry> entries;
    if (menu == MenuTitle::Tools)
        for (const ToolControl& t : kTools) entries.push_back(MenuEntry{true, t.tool, Command::Open});
    for (const CommandControl& c : kCommands)
        if (c.menu == menu) entries.push_back(MenuEntry{false, Tool::Wall, c.command});
    return entries;
}

MenuPlace PlaceOf(Command command) {
    const MenuTitle menu = ControlOf(command).menu;
    const std::vector<MenuEntry> entries = MenuEntries(menu);
    int item = 0;
    while (entries[static_cast<size_t>(item)].isTool || entries[static_cast<size_t>(item)].command != command) ++item;
    return MenuPlace{static_cast<int>(menu), item};
}

MenuPlace PlaceOf(Tool tool) { return MenuPlace{static_cast<int>(MenuTitle::Tools), static_cast<int>(tool)}; }

std::string KeyName(int virtualKey, bool control) {
    std::string name;
    switch (virtualKey) {
        case VK_ESCAPE: name = "Esc"; break;
        case VK_SPACE: name = "Space"; break;
        case VK_OEM_6: name = "]"; break;
        case VK_OEM_4: name = "["; break;
        case VK_PRIOR: name = "PgUp"; break;
        case VK_NEXT: name = "PgDn"; break;
        case VK_ADD: name = "Num +"; break;
        case VK_SUBTRACT: name = "Num -"; break;
        default: name = std::string(1, static_cast<char>(virtualKey)); break;
    }
    return control ? "Ctrl+" + name : name;
}

short ButtonOf(Tool tool) { return static_cast<short>(1 + static_cast<int>(tool)); }
short ButtonOf(Command command) { return static_cast<short>(1 + kToolCount + static_cast<int>(command)); }
int ButtonPlace(Tool tool) { return static_cast<int>(tool); }
int ButtonPlace(Command command) { return kToolCount - 1 + ControlOf(command).button; }

}  // namespace sandbox
