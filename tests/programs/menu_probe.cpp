// A window with a menu bar and two push buttons that prints every event it gets on standard
// output, one line each ("Menu 1 2"), for the tests that play it in a real window. Escape ends it;
// picking View > Grid toggles that item's check mark.
#include <cstdio>

#include "app/globals.h"
#include "platform/program_folder.h"
#include "platform/win32.h"
#include "win/button_group.h"
#include "win/menu_bar.h"
#include "win/window.h"

namespace {

class ProbeWindow : public Window {
public:
    ProbeWindow() : Window("Menu probe", 320, 200, true, nullptr, false) {}

    void OnEvent(int kind, int code, int detail) override {
        static const char* const kinds[] = {"Button", "Menu", "Key", "Mouse"};
        std::printf("%s %d %d\n", kind >= 0 && kind <= 3 ? kinds[kind] : "?", code, detail);
        std::fflush(stdout);
        if (kind == Menu && code == 1 && detail == 1) {
            grid = !grid;
            menuBar->SetMenuCheck(1, 1, grid);
        }
        if (kind == Key && code == VK_ESCAPE) delete this;
    }

private:
    bool grid = false;
};

}  // namespace

// The probe opens no file.
const char* const kProgramFiles[] = {nullptr};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    appGlobals.instance = instance;
    auto* window = new ProbeWindow;  // the window registry keeps it
    const char* const file[] = {"New", "Open", nullptr};
    const char* const view[] = {"Zoom", "Grid", "Ruler", nullptr};
    window->AddMenu("File", file);
    window->AddMenu("View", view);
    ButtonGroup buttons(window);
    buttons.AddButton(20, 140, 100, 170, "Seven", 7);
    buttons.AddButton(120, 140, 200, 170, "Eight", 8);
    MSG msg;
    while (appGlobals.windowRegistryCapacity > 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
