// What the start-folder rule (program_folder.cpp) asks of the system: one small set of calls
// for each system, in program_folder_posix.cpp and windows/program_folder.cpp.
#pragma once

#include <string>

namespace folder {

// The separator of the system's paths.
char Separator();
// The current folder; "." when it cannot be told.
std::string Current();
// The folder of the running executable; empty when it cannot be told.
std::string OfExecutable();
// Whether `path` names a file (not a folder).
bool HoldsFile(const std::string& path);
// Makes `path` the current folder; false when it cannot.
bool Enter(const std::string& path);

}  // namespace folder
