// The process entry of a Win32 GUI program, as the Windows runtime provides it: the text of the
// command line after the program name goes to WinMain, which runs in the folder of the
// program's files.
#include <string>

#include "platform/program_folder.h"
#include "platform/win32.h"

int main(int argc, char** argv) {
    EnterProgramFolder("ondrel", kProgramFiles);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    static HINSTANCE__* const instance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
    return WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
