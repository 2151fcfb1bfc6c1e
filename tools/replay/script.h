// Input scripts for ondrel-replay: one event a line, "FRAME VERB [ARGS]".
#pragma once

#include <string>
#include <vector>

enum class Verb { Move, Press, Release, KeyDown, KeyUp, Tap };

struct ScriptEvent {
    int frame;  // idle turn, counted from 1; the event is delivered before that turn runs
    Verb verb;
    int a;      // move: x; press/release: 0 left, 1 right; keys: the virtual-key code
    int b;      // move: y
    int line;   // where it stands in the script
};

struct ParsedScript {
    std::vector<ScriptEvent> events;  // in file order
    std::string error;                // "LINE: what is wrong"; empty when the script is good
};

ParsedScript ParseScript(const std::string& text);

// A key name as scripts write it: space, escape, add, subtract, a single letter, or a decimal
// virtual-key code 1..255. -1 when it names no key.
int ParseKey(const std::string& name);
