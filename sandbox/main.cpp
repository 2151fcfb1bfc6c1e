// ondrel-sandbox's entry. It names no files for the platform to look for: its batch mode reads and
// writes names relative to the folder it was started in, and the program moves to the folder of
// its media itself, once it has taken those names in.
#include "platform/program_folder.h"
#include "sandbox/sandbox.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) { return sandbox::SandboxMain(instance, commandLine); }
