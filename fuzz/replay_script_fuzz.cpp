// The replay script parser on any text. Beside the sanitizers: a script it takes has events in
// frame order, from frame 1, with verbs, buttons and keys in their ranges, and written out again
// in the plain form it parses to the same events; a script it refuses gives no events and names
// a line of the text.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "tools/replay/script.h"

namespace {

std::string Written(const ScriptEvent& e) {
    std::string line = std::to_string(e.frame) + " ";
    switch (e.verb) {
        case Verb::Move: return line + "move " + std::to_string(e.a) + " " + std::to_string(e.b);
        case Verb::Press: return line + "press " + (e.a == 0 ? "left" : "right");
        case Verb::Release: return line + "release " + (e.a == 0 ? "left" : "right");
        case Verb::KeyDown: return line + "keydown " + std::to_string(e.a);
        case Verb::KeyUp: return line + "keyup " + std::to_string(e.a);
        case Verb::Tap: return line + "tap " + std::to_string(e.a);
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int lines = 0;
    for (char c : text) lines += c == '\n';
    if (!text.empty() && text.back() != '\n') ++lines;

    ParsedScript parsed = ParseScript(text);
    if (!parsed.error.empty()) {
        FUZZ_CHECK(parsed.events.empty());
        size_t colon = parsed.error.find(": ");
        FUZZ_CHECK(colon != std::string::npos && colon > 0);
        int line = std::stoi(parsed.error.substr(0, colon));
        FUZZ_CHECK(line >= 1 && line <= lines);
        return 0;
    }
    std::string again;
    int frame = 1, line = 0;
    for (const ScriptEvent& e : parsed.events) {
        FUZZ_CHECK(e.frame >= frame);
        frame = e.frame;
        FUZZ_CHECK(e.line > line);  // one event a line at most
        FUZZ_CHECK(e.line >= 1 && e.line <= lines);
        line = e.line;
        if (e.verb == Verb::Press || e.verb == Verb::Release) FUZZ_CHECK(e.a == 0 || e.a == 1);
        if (e.verb == Verb::KeyDown || e.verb == Verb::KeyUp || e.verb == Verb::Tap) FUZZ_CHECK(e.a >= 1 && e.a <= 255);
        again += Written(e) + "\n";
    }
    ParsedScript reparsed = ParseScript(again);
    FUZZ_CHECK(reparsed.error.empty());
    FUZZ_CHECK(reparsed.events.size() == parsed.events.size());
    for (size_t i = 0; i < parsed.events.size(); ++i) {
        const ScriptEvent& a = parsed.events[i];
        const ScriptEvent& b = reparsed.events[i];
        FUZZ_CHECK(a.frame == b.frame && a.verb == b.verb && a.a == b.a && a.b == b.b);
        FUZZ_CHECK(b.line == static_cast<int>(i) + 1);
    }
    return 0;
}
