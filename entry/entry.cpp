// The process entry of a Win32 GUI program, as the Windows runtime provides it: the text of the
// command line after the program name goes to WinMain, which runs in the folder of the
// program's files. Before WinMain, the process-wide record holds the instance handle and the
// command line, as the design's entry stores them first.
#include <string>

#include "app/globals.h"
#include "platform/program_folder.h"
#include "platform/win32.h"

namespace {

// The command line Windows would hand a program started with these arguments: each one as the
// Windows runtime reads it back, set apart by a space. An argument with no space, tab, newline or
// double quote stands as it is; any other (and an empty one) is put in double quotes, a quote in
// it escaped with a backslash and the backslashes before a quote, or before the closing quote,
// doubled.
std::string WindowsCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] ? argv[i] : "";
        if (i > 1) line += ' ';
        if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += word;
            continue;
        }
        line += '"';
        size_t backslashes = 0;
        for (char c : word) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(2 * backslashes, '\\');
        line += '"';
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    // What it says about its files is headed by the program's own name.
    std::string program = argc > 0 && argv[0] ? argv[0] : "ondrel";
    EnterProgramFolder(program.substr(program.rfind('/') + 1).c_str(), kProgramFiles);
    std::string commandLine = WindowsCommandLine(argc, argv);
    static HINSTANCE__* const instance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
    appGlobals.instance = instance;  // windows are registered under it
    appGlobals.commandLine = commandLine.data();
    return WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
