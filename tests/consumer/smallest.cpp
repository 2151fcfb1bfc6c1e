// The smallest program on the framework: a WinMain and nothing else. It names no files and stores
// nothing in the process-wide record: the entry does both. It says what the entry gave it, for
// tests/consumer_test.sh to compare, and ends with an exit code of its own.
#include <cstdio>

#include "app/system.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool stored = instance != nullptr && InstanceHandle() == instance;
    std::printf("command line \"%s\"; instance %s\n", commandLine, stored ? "stored" : "not stored");
    return 3;
}
