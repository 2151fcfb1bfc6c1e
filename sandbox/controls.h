// What a player can do in the sandbox, in two tables: the tools (what a click or a drag on the
// scene does) and the commands (everything else). The window makes its keys, its menus (each
// item with its key beside it), its push buttons and its status line's hints from them; every
// tool and command has a key, so a page's touch buttons are made by naming keys.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace sandbox {

enum class Tool { Wall, Eraser, Line, Water, Tap, Fill };

struct ToolControl {
    Tool tool;
    const char* name;     // the Tools menu's item, and the tool's word on the status line
    const char* caption;  // its push button's
    int key;              // the virtual key that picks it
    const char* hint;     // what a click or a drag does with it, for the status line
};

inline constexpr ToolControl kTools[] = {
    {Tool::Wall, "Wall brush", "Wall", 'B', "drag to draw walls"},
    {Tool::Eraser, "Eraser", "Eraser", 'E', "drag to erase walls, water and taps"},
    {Tool::Line, "Straight wall", "Line", 'L', "press, drag and let go for a straight wall"},
    {Tool::Water, "Water brush", "Water", 'W', "hold the button down to pour water"},
    {Tool::Tap, "Tap", "Tap", 'T', "click to place a tap, which pours all the time"},
    {Tool::Fill, "Fill", "Fill", 'F', "click inside a closed shape to fill it with water"},
};
constexpr int kToolCount = static_cast<int>(sizeof kTools / sizeof kTools[0]);

const ToolControl& ControlOf(Tool tool);

// The drop-down menus, left to right.
enum class MenuTitle { File, Edit, Tools, Time };
inline constexpr const char* kMenuTitles[] = {"File", "Edit", "Tools", "Time"};
constexpr int kMenuCount = static_cast<int>(sizeof kMenuTitles / sizeof kMenuTitles[0]);

enum class Command {
    Open, Save, Import, Screenshot, Record, Quit,
    Undo, Redo, Clear,
    Bigger, Smaller,
    Run, Step, Faster, Slower,
};

struct CommandControl {
    Command command;
    MenuTitle menu;       // the drop-down that holds it; the Tools menu lists the tools first
    const char* text;     // the menu item
    int key;              // the virtual key that gives it, with Ctrl held when `control`
    bool control;
    int otherKey;         // another key that gives it (without Ctrl), or 0
    int button;           // its push button's place after the tools' (1 the first), or 0 for none
    const char* caption;  // its push button's caption
};

inline constexpr CommandControl kCommands[] = {
    {Command::Open, MenuTitle::File, "Open...", 'O', true, 0, 0, nullptr},
    {Command::Save, MenuTitle::File, "Save", 'S', true, 0, 0, nullptr},
    {Command::Import, MenuTitle::File, "Import image...", 'I', true, 0, 0, nullptr},
    {Command::Screenshot, MenuTitle::File, "Screenshot", 'P', false, 0, 0, nullptr},
    {Command::Record, MenuTitle::File, "Start/stop recording", 'R', false, 0, 0, nullptr},
    {Command::Quit, MenuTitle::File, "Quit", VK_ESCAPE, false, 0, 0, nullptr},
    {Command::Undo, MenuTitle::Edit, "Undo", 'Z', true, 0, 2, "Undo"},
    {Command::Redo, MenuTitle::Edit, "Redo", 'Y', true, 0, 0, nullptr},
    {Command::Clear, MenuTitle::Edit, "Clear scene", 'C', false, 0, 0, nullptr},
    {Command::Bigger, MenuTitle::Tools, "Bigger brush", VK_OEM_6, false, VK_PRIOR, 0, nullptr},   // ], Page Up
    {Command::Smaller, MenuTitle::Tools, "Smaller brush", VK_OEM_4, false, VK_NEXT, 0, nullptr},  // [, Page Down
    {Command::Run, MenuTitle::Time, "Run/pause", VK_SPACE, false, 0, 1, "Run/Pause"},
    {Command::Step, MenuTitle::Time, "One step", 'N', false, 0, 0, nullptr},
    {Command::Faster, MenuTitle::Time, "Faster", VK_ADD, false, 0, 0, nullptr},     // keypad +
    {Command::Slower, MenuTitle::Time, "Slower", VK_SUBTRACT, false, 0, 0, nullptr},  // keypad −
};
constexpr int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);

const CommandControl& ControlOf(Command command);

// One item of a drop-down: a tool or a command.
struct MenuEntry {
    bool isTool;
    Tool tool;
    Command command;
};
// The items of a drop-down, top to bottom.
std::vector<MenuEntry> MenuEntries(MenuTitle menu);
// Where an item is: its drop-down and its position in it.
struct MenuPlace {
    int menu;
    int item;
};
MenuPlace PlaceOf(Command command);
MenuPlace PlaceOf(Tool tool);

// A key as the menus write it beside an item: "B", "Ctrl+Z", "Space", "Esc", "]", "Num +".
std::string KeyName(int virtualKey, bool control);

// The push buttons' identifiers: a tool's, and a command's that has a button.
short ButtonOf(Tool tool);
short ButtonOf(Command command);
// The buttons' places in their row: the tools' first, then the commands' (0 the leftmost).
int ButtonPlace(Tool tool);
int ButtonPlace(Command command);
constexpr int kButtonCount = 8;

}  // namespace sandbox
