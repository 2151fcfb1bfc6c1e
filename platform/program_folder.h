// The folder a program runs in. The program opens its files by names relative to its current
// folder; started from elsewhere (a shell in another folder, a desktop launcher), it finds them
// beside its executable, as a program started from the Windows shell does, or where an installed
// program's data are, ../share/ondrel from its executable.
#pragma once

// The files the application opens by relative names ('\' separates folders), ended by a null.
// The application names them, as it provides WinMain.
extern const char* const kProgramFiles[];

// Called by the process entry before WinMain. When the current folder lacks any of `files`, the
// first of these that holds them all becomes the current one: the executable's folder, then
// ../share/ondrel from it (where an installed program's data go). When none holds them all, one
// line on standard error, headed by `program`, names what each folder lacks, and the current
// folder stays: the program goes on without them. True when the current folder holds every file
// on return.
bool EnterProgramFolder(const char* program, const char* const* files);
