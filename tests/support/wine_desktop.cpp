// Holds Wine's desktop for a whole test session: starts the desktop's process (explorer /desktop,
// the command Wine itself starts for the first program that needs a desktop), waits until it
// takes input, however long that takes, writes "ready" on standard output, and then stays, so
// that the desktop's process stays too.
//
// Why: a Wine program that finds no desktop starts the desktop's process itself and waits for it
// at most 10 seconds. On a loaded machine that process can take longer to start; the program
// then goes on without a display driver and none of its windows ever appears ("The explorer
// process failed to start." with Wine's errors on). With the desktop held from the start of the
// session no test program ever starts it, and every program finds it ready.
//
// Run it before any other program of the prefix, on the Wine server the session keeps up; end it
// (or the server) when the session ends. Exit code 1, with the reason on standard error, when the
// desktop's process cannot be started or ends.
#include <windows.h>

#include <cstdio>

int main() {
  wchar_t command[] = L"C:\\windows\\system32\\explorer.exe /desktop";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION desktop{};
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &desktop)) {
    std::fprintf(stderr, "wine_desktop: cannot start explorer.exe /desktop (error %lu)\n", GetLastError());
    return 1;
  }
  CloseHandle(desktop.hThread);
  // Returns once the process takes input, or once it has ended.
  WaitForInputIdle(desktop.hProcess, INFINITE);
  if (WaitForSingleObject(desktop.hProcess, 0) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(desktop.hProcess, &code);
    std::fprintf(stderr,
                 "wine_desktop: explorer.exe /desktop ended (exit code %lu) before it took input;"
                 " was another desktop process running?\n",
                 code);
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  // Holding the desktop: until this program is ended, or the desktop's process ends.
  WaitForSingleObject(desktop.hProcess, INFINITE);
  std::fprintf(stderr, "wine_desktop: the desktop's process ended\n");
  return 1;
}
