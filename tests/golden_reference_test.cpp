// The golden scenes (tests/golden) and the README's recording (docs/demo.gif) were recorded by the
// program itself; golden_test.sh holds the program to them. Here they are held to the program's
// rules instead, written out here on their own: each script's input is replayed through the
// literal water step (tests/support/water_reference), the pen and the eraser of the frame, the
// frame-skip setting and its text drawn from the font's source (media/font8x12.txt). The program
// itself is played the same input, and every frame it presents must be the one the rules give.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/font_source.h"
#include "tests/support/water_reference.h"

#ifdef ONDREL_HAVE_GIF
#include <gif_lib.h>
#endif

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr uint8_t kEmpty = 15;
constexpr uint8_t kWall = 0;
constexpr uint8_t kTextColour = 233;
// The headless driver's clock: 10 s at start, 16 ms more at every idle turn. Input delivered
// before turn t is handled at the time of turn t − 1; frame t runs at the time of turn t.
constexpr uint32_t kStartMs = 10000;
constexpr uint32_t kTurnMs = 16;
uint32_t TimeOfTurn(int turn) { return kStartMs + kTurnMs * static_cast<uint32_t>(turn); }

using Image = std::vector<uint8_t>;  // kWidth × kHeight palette indices, top row first

std::string SourceFile(const std::string& name) { return std::string(ONDREL_SOURCE_DIR) + "/" + name; }

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---------------------------------------------------------------------------------------------
// The scripts: "FRAME VERB [ARGS]" a line, "#" comments; the frame count on "# frames: N".

struct Event {
    int frame;
    std::string verb;  // move, press, release, keydown, keyup, tap
    int x = 0;         // move: x; press/release: 0 left, 1 right; keys: the virtual-key code
    int y = 0;
};

struct Script {
    int frames = 0;
    std::vector<Event> events;
};

int KeyCode(const std::string& name) {
    if (name == "space") return 32;
    if (name == "add") return 107;
    if (name == "subtract") return 109;
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return name[0] - 'a' + 'A';
    return -1;  // nothing else is played here (Escape would end the run)
}

Script ReadScript(const std::string& path) {
    Script script;
    std::istringstream lines(ReadText(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("# frames: ", 0) == 0) script.frames = std::stoi(line.substr(10));
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        Event e{};
        std::string what;
        words >> e.frame >> e.verb;
        if (e.verb == "move") {
            words >> e.x >> e.y;
        } else if (e.verb == "press" || e.verb == "release") {
            words >> what;
            e.x = what == "right" ? 1 : 0;
            EXPECT_TRUE(what == "left" || what == "right") << path << ": " << line;
        } else {
            words >> what;
            e.x = KeyCode(what);
            EXPECT_GE(e.x, 0) << path << ": " << line;
        }
        EXPECT_TRUE(words && e.frame >= 1) << path << ": " << line;
        script.events.push_back(e);
    }
    EXPECT_GT(script.frames, 0) << path << " names no frame count";
    return script;
}

// ---------------------------------------------------------------------------------------------
// The frame as its rules say, on a scene of its own.

class WrittenRules {
public:
    WrittenRules() : water(&scene, kHeight), screen(kWidth * kHeight, kEmpty) { scene.Clear(kEmpty); }

    // Input before turn t: the window's mouse fields and buttons, the key state, key-down events.
    void Deliver(const Event& e) {
        if (e.verb == "move") {
            mouseX = e.x;
            mouseY = e.y;
        } else if (e.verb == "press" || e.verb == "release") {
            (e.x == 0 ? left : right) = e.verb == "press";
        } else {
            if (e.verb != "keyup") KeyPressed(e.x, TimeOfTurn(e.frame - 1));
            if (e.x == 32) {
                if (e.verb != "keyup") spacePressed = true;
                spaceDown = e.verb == "keydown";
            }
        }
    }

    // Frame t; the image presented in it, if it presents one.
    std::optional<Image> Frame(int turn) {
        // Space: down now, or pressed since the previous poll.
        const bool pour = spaceDown || spacePressed;
        spacePressed = false;
        if (pour) water.Pour(mouseX - 5, mouseX + 5, mouseY);
        // Eraser first, then the pen: a stroke draws from the frame after the press on.
        if (right) FillCircle(&scene, mouseX, mouseY, 10, kEmpty);
        if (!left) {
            penDown = false;
        } else if (!penDown) {
            penX = mouseX;
            penY = mouseY;
            penDown = true;
        } else {
            DrawLine(&scene, penX, penY, mouseX, mouseY, kWall);
            penX = mouseX;
            penY = mouseY;
        }
        // The text, until and including the first frame more than a second after the change.
        const bool text = textSince != 0;
        if (text) {
            if (static_cast<int32_t>(TimeOfTurn(turn) - textSince) > 1000) textSince = 0;
            DrawFrameSkipText();
        }
        ++frameCounter;
        std::optional<Image> presented;
        if (frameSkip == 0 || frameCounter % frameSkip == 0) {
            presented = screen;
            if (text) ++presentedWithText;
        }
        water.Step();
        screen.assign(scene.pixels, scene.pixels + kWidth * kHeight);
        return presented;
    }

    Image Scene() const { return Image(scene.pixels, scene.pixels + kWidth * kHeight); }

    Surface scene{kWidth, kHeight};
    ReferenceWater water;
    int presentedWithText = 0;

private:
    void KeyPressed(int code, uint32_t now) {
        if (code == 'C') {
            water.Reset();
            std::fill(screen.begin(), screen.end(), kEmpty);
            scene.Clear(kEmpty);
        } else if (code == 107 || code == 109) {
            frameSkip = code == 107 ? frameSkip + 1 : std::max(frameSkip - 1, 0);
            textSince = now;
        }
    }

    void DrawFrameSkipText() { InkText(screen, kWidth, "Frame Skip :" + std::to_string(frameSkip), kTextColour); }

    Image screen;
    int mouseX = 0, mouseY = 0;
    bool left = false, right = false;
    bool spaceDown = false, spacePressed = false;
    bool penDown = false;
    int penX = 0, penY = 0;
    int frameSkip = 10;
    uint32_t textSince = 0;
    int frameCounter = 0;
};

// Replays the script through the rules: the images presented, in order, and the scene after it.
struct RulesRun {
    std::vector<std::pair<int, Image>> presented;  // frame number, image
    Image scene;
    int presentedWithText = 0;
};

RulesRun ReplayThroughTheRules(const Script& script) {
    WrittenRules rules;
    RulesRun run;
    size_t next = 0;
    for (int turn = 1; turn <= script.frames; ++turn) {
        for (; next < script.events.size() && script.events[next].frame == turn; ++next) rules.Deliver(script.events[next]);
        if (std::optional<Image> shown = rules.Frame(turn)) run.presented.emplace_back(turn, std::move(*shown));
    }
    run.scene = rules.Scene();
    run.presentedWithText = rules.presentedWithText;
    return run;
}

// Where two images differ: nothing when they are the same.
::testing::AssertionResult SameImage(const Image& actual, const Image& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " pixels, expected " << expected.size();
    size_t differing = 0;
    size_t first = 0;
    for (size_t i = actual.size(); i-- > 0;)
        if (actual[i] != expected[i]) {
            ++differing;
            first = i;
        }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, the first at (" << first % kWidth << ", "
                                         << first / kWidth << "): " << int{actual[first]} << ", by the rules "
                                         << int{expected[first]};
}

// An 8-bit bitmap file's pixels, top row first; empty when it is not one of kWidth × kHeight.
Image ReadBmp(const std::string& path) {
    const std::string bytes = ReadText(path);
    auto field = [&](size_t at, int size) {
        uint32_t v = 0;
        for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
        return v;
    };
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || field(18, 4) != uint32_t{kWidth} || field(22, 4) != uint32_t{kHeight} ||
        field(28, 2) != 8)
        return {};
    const size_t start = field(10, 4);
    if (start + size_t{kWidth} * kHeight > bytes.size()) return {};
    Image image(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)  // rows are stored bottom-up; 640 needs no padding
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(start + size_t{kWidth} * (kHeight - 1 - y)), kWidth,
                    image.begin() + y * kWidth);
    return image;
}

const char* const kGoldenScenes[] = {"basin", "edges", "eraser"};

TEST(GoldenScenes, EachIsItsScriptReplayedThroughTheRules) {
    for (const char* name : kGoldenScenes) {
        SCOPED_TRACE(name);
        const Script script = ReadScript(SourceFile(std::string("tests/golden/") + name + ".txt"));
        const Image golden = ReadBmp(SourceFile(std::string("tests/golden/") + name + ".bmp"));
        ASSERT_FALSE(golden.empty()) << "not an 8-bit " << kWidth << " × " << kHeight << " bitmap file";
        const RulesRun run = ReplayThroughTheRules(script);
        EXPECT_TRUE(SameImage(golden, run.scene));
        // A scene of nothing but empty cells would say little.
        EXPECT_NE(std::count(golden.begin(), golden.end(), WaterIndex), 0);
        EXPECT_NE(std::count(golden.begin(), golden.end(), kWall), 0);
    }
}

// ---------------------------------------------------------------------------------------------
// The program played the same input on the headless driver, in this process.

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);  // the program reads its pack and media from here
    }
    void TearDown() override { ResetProcessState(); }

    // The windows presented in the script's frames, as palette indices of the process palette.
    std::vector<std::pair<int, std::vector<uint32_t>>> Play(const Script& script) {
        std::vector<std::pair<int, std::vector<uint32_t>>> shown;
        size_t next = 0;
        int pointerX = 0, pointerY = 0;
        headless::SetBeforeIdleHook([&](int turn) {
            if (turn > script.frames) {
                PostQuitMessage(-1);
                return;
            }
            HWND window = headless::TopLevelWindows().front();
            for (; next < script.events.size() && script.events[next].frame == turn; ++next) {
                const Event& e = script.events[next];
                if (e.verb == "move") {
                    pointerX = e.x;
                    pointerY = e.y;
                    headless::MoveMouse(window, e.x, e.y);
                } else if (e.verb == "press") {
                    (e.x == 0 ? headless::PressLeft : headless::PressRight)(window, pointerX, pointerY);
                } else if (e.verb == "release") {
                    (e.x == 0 ? headless::ReleaseLeft : headless::ReleaseRight)(window, pointerX, pointerY);
                } else if (e.verb == "keydown") {
                    headless::KeyDown(e.x);
                } else if (e.verb == "keyup") {
                    headless::KeyUp(e.x);
                } else {
                    headless::TapKey(e.x);
                }
            }
        });
        headless::SetShowHook([&](HWND, const uint32_t* pixels, int width, int height) {
            if (appGlobals.frameCounter > 0)
                shown.emplace_back(appGlobals.frameCounter,
                                   std::vector<uint32_t>(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height)));
        });
        char commandLine[] = "";
        EXPECT_EQ(WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWDEFAULT), -1)
            << "the program ended before the script did";
        return shown;
    }
};

// Colours of an image of palette indices, through the palette the program runs with.
std::vector<uint32_t> Coloured(const Image& indices, const uint8_t* palette) {
    std::vector<uint32_t> rgb(indices.size());
    for (size_t i = 0; i < indices.size(); ++i) {
        const uint8_t* c = palette + 3 * indices[i];
        rgb[i] = uint32_t{c[0]} << 16 | uint32_t{c[1]} << 8 | c[2];
    }
    return rgb;
}

TEST_F(ProgramRun, EveryPresentedWindowIsTheFrameTheRulesGive) {
    for (const char* name : kGoldenScenes) {
        SCOPED_TRACE(name);
        ResetProcessState();
        const Script script = ReadScript(SourceFile(std::string("tests/golden/") + name + ".txt"));
        const RulesRun rules = ReplayThroughTheRules(script);
        std::vector<std::pair<int, std::vector<uint32_t>>> shown = Play(script);
        uint8_t palette[768];
        ASSERT_TRUE(CopyPalette(palette));
        ASSERT_EQ(shown.size(), rules.presented.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            ASSERT_EQ(shown[i].first, rules.presented[i].first) << "presented frame " << i;
            const std::vector<uint32_t> expected = Coloured(rules.presented[i].second, palette);
            const auto mismatch = std::mismatch(shown[i].second.begin(), shown[i].second.end(), expected.begin());
            ASSERT_TRUE(mismatch.first == shown[i].second.end())
                << "frame " << shown[i].first << ": the window differs at ("
                << (mismatch.first - shown[i].second.begin()) % kWidth << ", "
                << (mismatch.first - shown[i].second.begin()) / kWidth << ")";
        }
        // The basin's keypad plus shows the frame-skip text: some presented frame must carry it.
        if (std::string(name) == "basin") {
            EXPECT_GT(rules.presentedWithText, 0);
        }
    }
}

#ifdef ONDREL_HAVE_GIF
// The README's recording: one GIF image per presented frame, each drawn over the ones before.
TEST(DemoRecording, EveryFrameIsTheFrameTheRulesPresent) {
    const Script script = ReadScript(SourceFile("docs/demo.txt"));
    const RulesRun rules = ReplayThroughTheRules(script);
    EXPECT_GT(rules.presentedWithText, 0);  // it starts by changing the frame skip
    int error = 0;
    const std::unique_ptr<GifFileType, void (*)(GifFileType*)> file(
        DGifOpenFileName(SourceFile("docs/demo.gif").c_str(), &error), [](GifFileType* g) {
            int ignored = 0;
            DGifCloseFile(g, &ignored);
        });
    GifFileType* gif = file.get();
    ASSERT_NE(gif, nullptr) << GifErrorString(error);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    EXPECT_EQ(gif->SWidth, kWidth);
    EXPECT_EQ(gif->SHeight, kHeight);
    EXPECT_EQ(static_cast<size_t>(gif->ImageCount), rules.presented.size());
    Image canvas(kWidth * kHeight, 0);
    const size_t frames = std::min(static_cast<size_t>(gif->ImageCount), rules.presented.size());
    for (size_t i = 0; i < frames; ++i) {
        const SavedImage& part = gif->SavedImages[i];
        const GifImageDesc& at = part.ImageDesc;
        ASSERT_TRUE(at.Left >= 0 && at.Top >= 0 && at.Left + at.Width <= kWidth && at.Top + at.Height <= kHeight);
        for (int y = 0; y < at.Height; ++y) {
            std::copy_n(part.RasterBits + static_cast<ptrdiff_t>(y) * at.Width, at.Width,
                        canvas.begin() + (at.Top + y) * kWidth + at.Left);
        }
        ASSERT_TRUE(SameImage(canvas, rules.presented[i].second)) << "image " << i << ", frame " << rules.presented[i].first;
    }
}
#endif

}  // namespace
