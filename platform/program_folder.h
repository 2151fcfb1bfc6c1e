// The folder a program runs in. The program opens its files by names relative to its current
// folder; started from elsewhere (a shell in another folder, a desktop launcher), it finds them
// beside its executable, as a program started from the Windows shell does, or where an installed
// program's data are: ../share/<program> or ../share/ondrel from its executable.
#pragma once

// The files the program opens by relative names ('\' separates folders), ended by a null. A
// program that opens files defines the list once, at global scope, beside its WinMain, and the
// process entry makes the folder that holds them current before WinMain runs:
//     const char* const kProgramFiles[] = {".\\Media\\Sprites.bmp", nullptr};
// A program that defines none gets an empty list and stays in the folder it was started in.
extern const char* const kProgramFiles[];  // define it at global scope: const char* const kProgramFiles[] = {"file", ..., nullptr};

// Called by the process entry before WinMain. When the current folder lacks any of `files`, the
// first of these that holds them all becomes the current one: the executable's folder, then
// ../share/<program> and ../share/ondrel from it (where an installed program's data go). When
// none holds them all, one line on standard error, headed by `program`, names what each folder
// lacks, and the current folder stays: the program goes on without them. True when the current
// folder holds every file on return.
bool EnterProgramFolder(const char* program, const char* const* files);
