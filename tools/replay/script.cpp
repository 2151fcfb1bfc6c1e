// Parsing replay scripts: one event a line, every error with its line number.
#include "tools/replay/script.h"

#include <cctype>
#include <charconv>
#include <sstream>

#include "platform/win32.h"

namespace {

bool ParseInt(const std::string& word, int* value) {
    const char* first = word.data();
    const char* last = first + word.size();
    // One sign: from_chars takes a '-' itself, so a '+' before one ("+-5") is refused here.
    if (first != last && *first == '+' && ++first != last && *first == '-') return false;
    auto [end, ec] = std::from_chars(first, last, *value);
    return ec == std::errc() && end == last && first != last;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

int ParseKey(const std::string& name) {
    std::string key = Lower(name);
    if (key == "space") return VK_SPACE;
    if (key == "escape") return VK_ESCAPE;
    if (key == "add") return VK_ADD;
    if (key == "subtract") return VK_SUBTRACT;
    if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') return std::toupper(static_cast<unsigned char>(key[0]));
    int code = 0;
    if (ParseInt(key, &code) && code >= 1 && code <= 255) return code;
    return -1;
}

ParsedScript ParseScript(const std::string& text) {
    ParsedScript result;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    int lastFrame = 1;
    auto fail = [&](const std::string& what) {
        result.error = std::to_string(number) + ": " + what;
        result.events.clear();
        return result;
    };
    while (std::getline(in, line)) {
        ++number;
        if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;

        ScriptEvent e{0, Verb::Move, 0, 0, number};
        if (!ParseInt(w[0], &e.frame) || e.frame < 1) return fail("frame must be a whole number from 1 on, not '" + w[0] + "'");
        if (e.frame < lastFrame) return fail("frame " + w[0] + " comes before frame " + std::to_string(lastFrame));
        lastFrame = e.frame;
        if (w.size() < 2) return fail("an event needs a verb after the frame");
        const std::string verb = Lower(w[1]);
        const size_t args = w.size() - 2;
        if (verb == "move") {
            if (args != 2) return fail("move takes two numbers: X Y");
            if (!ParseInt(w[2], &e.a) || !ParseInt(w[3], &e.b)) return fail("move takes two whole numbers: X Y");
            e.verb = Verb::Move;
        } else if (verb == "press" || verb == "release") {
            if (args != 1) return fail(verb + " takes one button: left or right");
            std::string button = Lower(w[2]);
            if (button != "left" && button != "right") return fail("unknown button '" + w[2] + "' (left or right)");
            e.verb = verb == "press" ? Verb::Press : Verb::Release;
            e.a = button == "left" ? 0 : 1;
        } else if (verb == "keydown" || verb == "keyup" || verb == "tap") {
            if (args != 1) return fail(verb + " takes one key");
            e.a = ParseKey(w[2]);
            if (e.a < 0) return fail("unknown key '" + w[2] + "' (space, escape, add, subtract, a letter, or a code 1-255)");
            e.verb = verb == "keydown" ? Verb::KeyDown : verb == "keyup" ? Verb::KeyUp : Verb::Tap;
        } else {
            return fail("unknown verb '" + w[1] + "' (move, press, release, keydown, keyup, tap)");
        }
        result.events.push_back(e);
    }
    return result;
}
