// The version the tools were built as: the one on the project() line of the top-level
// CMakeLists.txt, handed in by the build as ONDREL_VERSION (the ondrel_version library).
#pragma once

#include <cstdio>
#include <cstring>

// "1.0.0": major, minor and patch numbers.
inline constexpr const char* kOndrelVersion = ONDREL_VERSION;

// When the only argument is --version, prints "TOOL VERSION" on standard output and says true:
// the tool then ends with exit code 0.
inline bool AnsweredVersion(const char* tool, int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--version") != 0) return false;
    std::printf("%s %s\n", tool, kOndrelVersion);
    return true;
}
