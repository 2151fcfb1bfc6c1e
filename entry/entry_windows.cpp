// The process entry on Windows. The runtime calls main() before WinMain (its own main, which
// calls WinMain, is linked only into a program that has none): this one moves to the folder of
// the program's files, stores the instance handle and the command line in the process-wide
// record, as the design's entry does first, sets the windows the program makes to fit the screen
// (platform/windows/window_scale.h; the program's manifest declares it DPI-aware), and calls
// WinMain with what the runtime gives it.
#include <cstring>
#include <string>

#include "app/globals.h"
#include "platform/program_folder.h"
#include "platform/win32.h"
#include "platform/windows/window_scale.h"

namespace {

// The command line after the program's name, as the runtime hands it to WinMain: the name ends
// at the first blank outside double quotes, and the blanks after it are skipped.
char* ArgumentsOf(char* line) {
    bool quoted = false;
    while (*line != '\0' && (quoted || static_cast<unsigned char>(*line) > ' ')) {
        if (*line == '"') quoted = !quoted;
        ++line;
    }
    while (*line != '\0' && static_cast<unsigned char>(*line) <= ' ') ++line;
    return line;
}

// The name that heads what the program says about its files: its file name without the folder
// and without ".exe".
std::string ProgramName(const char* path) {
    std::string name = path && *path ? path : "ondrel";
    name = name.substr(name.find_last_of("\\/") + 1);
    if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".exe") == 0) name.resize(name.size() - 4);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    EnterProgramFolder(ProgramName(argc > 0 ? argv[0] : nullptr).c_str(), kProgramFiles);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    char* commandLine = ArgumentsOf(GetCommandLineA());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    appGlobals.instance = instance;  // windows are registered under it, and find the program's icon by it
    appGlobals.commandLine = commandLine;
    EnableWindowScaling();
    return WinMain(instance, nullptr, commandLine, show);
}
