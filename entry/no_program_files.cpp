// The files of a program that names none: an empty list, so that it stays in the folder it was
// started in. A member of the entry's library of its own, which the linker takes only when the
// program defines no kProgramFiles.
#include "platform/program_folder.h"

const char* const kProgramFiles[] = {nullptr};
