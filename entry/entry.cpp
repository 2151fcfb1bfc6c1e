// The process entry of a Win32 GUI program, as the Windows runtime provides it: the text of the
// command line after the program name goes to WinMain, which runs in the folder of the
// program's files. Before WinMain, the process-wide record holds the instance handle and the
// command line, as the design's entry stores them first.
#include <string>

#include "app/globals.h"
#include "platform/program_folder.h"
#include "platform/win32.h"

int main(int argc, char** argv) {
    // What it says about its files is headed by the program's own name.
    std::string program = argc > 0 && argv[0] ? argv[0] : "ondrel";
    EnterProgramFolder(program.substr(program.rfind('/') + 1).c_str(), kProgramFiles);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    static HINSTANCE__* const instance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
    appGlobals.instance = instance;  // windows are registered under it
    appGlobals.commandLine = commandLine.data();
    return WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
