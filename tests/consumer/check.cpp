// Runs a program built on the installed package (its WinMain) on the headless display driver, as
// a user would: input injected at given idle turns, the window's image written out at others,
// and Escape at the end, after which the program must end by itself with exit code 0.
//   check TURNS [TURN:VERB[:ARGS]]...
// VERB: move:X:Y, press:X:Y (a move there first), release:X:Y, click:X:Y (move, press, release),
// key:VK, shot:FILE (the window as shown, a binary PPM). X and Y are pixels of what the window
// shows (a menu bar, when it has one, above the client area). Events of turn T are delivered
// before turn T runs, after T - 1 turns.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "platform/headless.h"
#include "platform/win32.h"

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ':');) parts.push_back(part);
    return parts;
}

bool WritePpm(const std::string& name, const headless::Image& image) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", image.width, image.height);
    for (uint32_t pixel : image.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16), static_cast<unsigned char>(pixel >> 8),
                                      static_cast<unsigned char>(pixel)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: check TURNS [TURN:VERB[:ARGS]]...\n", stderr);
        return 2;
    }
    const int turns = std::atoi(argv[1]);
    std::multimap<int, std::vector<std::string>> events;
    for (int i = 2; i < argc; ++i) {
        std::vector<std::string> parts = Split(argv[i]);
        const int turn = std::atoi(parts[0].c_str());
        parts.erase(parts.begin());
        events.emplace(turn, parts);
    }
    bool failed = false;
    headless::SetBeforeIdleHook([&](int turn) {
        const std::vector<HWND> windows = headless::TopLevelWindows();
        if (windows.empty()) return;
        HWND window = windows.front();
        auto [first, last] = events.equal_range(turn);
        for (auto e = first; e != last; ++e) {
            const std::vector<std::string>& v = e->second;
            const std::string& verb = v[0];
            const int x = v.size() > 2 ? std::atoi(v[1].c_str()) : 0;
            const int y = v.size() > 2 ? std::atoi(v[2].c_str()) : 0;
            // The pointer comes to a place before a button goes down there, as a user's does.
            if (verb == "move" || verb == "press" || verb == "click") headless::MoveMouse(window, x, y);
            if (verb == "press" || verb == "click") headless::PressLeft(window, x, y);
            if (verb == "release" || verb == "click") headless::ReleaseLeft(window, x, y);
            if (verb == "key") headless::TapKey(std::atoi(v[1].c_str()));
            if (verb == "shot" && !WritePpm(v[1], headless::ReadWindow(window))) {
                std::fprintf(stderr, "check: cannot write %s\n", v[1].c_str());
                failed = true;
            }
        }
        if (turn == turns) headless::TapKey(VK_ESCAPE);
    });
    // What the process entry does before WinMain: this check is the program's entry.
    char commandLine[] = "";
    const auto instance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
    appGlobals.instance = instance;
    appGlobals.commandLine = commandLine;
    const int code = WinMain(instance, nullptr, commandLine, SW_SHOWDEFAULT);
    if (headless::IdleTurns() < turns) {
        std::fprintf(stderr, "check: the program ended after %d of %d turns\n", headless::IdleTurns(), turns);
        return 1;
    }
    if (code != 0 || !headless::TopLevelWindows().empty()) {
        std::fprintf(stderr, "check: after Escape the program ended with %d and %zu windows\n", code,
                     headless::TopLevelWindows().size());
        return 1;
    }
    return failed ? 1 : 0;
}
