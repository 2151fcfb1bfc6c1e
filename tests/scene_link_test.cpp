// Scene links: a scene goes into a link and comes back whole, in the format the links are
// documented in (read here with zlib and a base64url decoder of the test's own); links that are
// damaged, cut short, too large inside or too new are refused and leave the scene alone; the
// batch mode's --scene and the window's --open-link take them; File > Share link writes one.
#include <gtest/gtest.h>
#include <unistd.h>
#if defined(ONDREL_HAVE_ZLIB)
#include <zlib.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "sandbox/sandbox.h"
#include "sandbox/sandbox_window.h"
#include "sandbox/scene.h"
#include "sandbox/scene_file.h"
#include "sandbox/scene_link.h"
#include "tests/support/app_fixture.h"
#include "tests/support/io_temp_dir.h"

#if !defined(ONDREL_HAVE_ZLIB)
TEST(SceneLink, NeedsZlib) { GTEST_SKIP() << "this build has no zlib, and so no scene links"; }
#else
namespace {

using sandbox::LinkFault;
using sandbox::SceneState;

constexpr int kW = 640, kH = 480;
constexpr uint8_t E = 15, W = 1, X = 0;

// A cup: walls on row 300 from column 200 to 300 and on columns 200 and 300 from row 200 down,
// water at rest on rows 290 to 299 inside it (one span a row, the top one still armed), two taps
// and step 1234.
SceneState Cup() {
    SceneState s;
    s.pixels.assign(kW * kH, E);
    auto at = [&](int x, int y) -> uint8_t& { return s.pixels[static_cast<size_t>(y) * kW + static_cast<size_t>(x)]; };
    for (int x = 200; x <= 300; ++x) at(x, 300) = X;
    for (int y = 200; y <= 300; ++y) at(200, y) = at(300, y) = X;
    for (int y = 290; y <= 299; ++y) {
        for (int x = 201; x <= 299; ++x) at(x, y) = W;
        s.spans.push_back(WaterSpan{201, 299, y, static_cast<uint8_t>(y == 290)});
    }
    s.taps = {{250, 100}, {10, 10}};
    s.step = 1234;
    return s;
}

std::vector<uint8_t> Palette() {
    std::vector<uint8_t> p(768);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 7);
    return p;
}

std::vector<uint8_t> FileOf(const SceneState& s) { return sandbox::EncodeScene(s, Palette().data()); }

// RFC 4648's URL-safe alphabet, written out here.
const std::string kUrlAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::vector<uint8_t> FromBase64(const std::string& text) {
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int held = 0;
    for (char c : text) {
        const size_t v = kUrlAlphabet.find(c);
        if (v == std::string::npos) ADD_FAILURE() << "'" << c << "' is not of the alphabet";
        bits = bits << 6 | static_cast<uint32_t>(v);
        if ((held += 6) >= 8) out.push_back(static_cast<uint8_t>(bits >> (held -= 8)));
    }
    return out;
}

std::string ToBase64(const std::vector<uint8_t>& bytes) {
    std::string out;
    uint32_t bits = 0;
    int held = 0;
    for (uint8_t b : bytes) {
        bits = bits << 8 | b;
        for (held += 8; held >= 6;) out += kUrlAlphabet[(bits >> (held -= 6)) & 63];
    }
    if (held) out += kUrlAlphabet[(bits << (6 - held)) & 63];
    return out;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    EXPECT_EQ(compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION), Z_OK);
    out.resize(size);
    return out;
}

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& packed, size_t size) {
    std::vector<uint8_t> out(size + 1);
    uLongf had = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &had, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
    out.resize(had);
    return out;
}

// FNV-1a of 32 bits, the scene file's check sum.
uint32_t Fnv(const uint8_t* p, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

bool Same(const SceneState& a, const SceneState& b) {
    return a.pixels == b.pixels && sandbox::SameSpans(a.spans, b.spans) && a.taps == b.taps && a.step == b.step;
}

// The link is the page, "#scene=1." and the scene file's bytes through zlib in base64url: read
// back here with zlib and the test's own decoder, and by the sandbox, to the same scene.
TEST(SceneLink, CarriesTheSceneFileThroughZlibAndBase64Url) {
    const std::vector<uint8_t> file = FileOf(Cup());
    const std::string page = "https://example.org/ondrel/sandbox.html";
    const std::string link = sandbox::SceneLink(page, file);
    const std::string head = page + "#scene=1.";
    ASSERT_EQ(link.rfind(head, 0), 0u) << link.substr(0, 80);
    EXPECT_EQ(Inflate(FromBase64(link.substr(head.size())), file.size()), file);
    // A few kilobytes for this scene of 308 KB.
    EXPECT_LT(link.size(), 4096u);

    SceneState back;
    std::string why;
    ASSERT_TRUE(sandbox::SceneFromLink(link, &back, &why)) << why;
    EXPECT_TRUE(Same(back, Cup()));
}

// What may surround the link's own part: another page's address, the fragment alone, other
// parameters around it, and blanks where a mail program wrapped it.
TEST(SceneLink, IsReadWhereverItStandsAndWrapped) {
    const std::vector<uint8_t> file = FileOf(Cup());
    const std::string fragment = sandbox::SceneLinkFragment(file);
    std::string wrapped = "x#" + fragment;
    for (size_t at = 80; at < wrapped.size(); at += 77) wrapped.insert(at, at % 2 ? "\r\n" : "\n  ");
    for (const std::string& link : {"#" + fragment, fragment, "file:///tmp/sandbox.html?x=1#" + fragment,
                                    "http://h/p#v=2&" + fragment + "&w=3", wrapped}) {
        std::vector<uint8_t> bytes;
        std::string why;
        EXPECT_TRUE(sandbox::ReadSceneLink(link, &bytes, &why)) << link.substr(0, 60) << ": " << why;
        EXPECT_EQ(bytes, file) << link.substr(0, 60);
        EXPECT_TRUE(sandbox::LooksLikeSceneLink(link));
    }
    EXPECT_FALSE(sandbox::LooksLikeSceneLink("/home/me/scenes/scene-1.bmp"));
    EXPECT_FALSE(sandbox::LooksLikeSceneLink("my scene=1.bmp"));
}

// Links that are not whole links of this version, each refused with its kind of fault and the
// scene left as it was.
TEST(SceneLink, RefusesDamagedCutAndNewerLinks) {
    const std::vector<uint8_t> file = FileOf(Cup());
    const std::string page = "http://h/sandbox.html#";
    const std::string good = sandbox::SceneLinkFragment(file);
    const std::string payload = good.substr(std::string("scene=1.").size());
    const std::vector<uint8_t> packed = FromBase64(payload);
    auto with = [&](const std::vector<uint8_t>& bytes) { return page + "scene=1." + ToBase64(bytes); };
    auto deflated = [&](std::vector<uint8_t> bytes) { return with(Deflate(bytes)); };
    // A scene file of the next record version, its check sum made good.
    std::vector<uint8_t> newer = file;
    newer[308278 + 8] = 2;
    const uint32_t sum = Fnv(newer.data(), newer.size() - 4);
    for (int i = 0; i < 4; ++i) newer[newer.size() - 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(sum >> (8 * i));
    // A scene file with one pixel changed and its old check sum.
    std::vector<uint8_t> changed = file;
    changed[2000] ^= 1;
    // Zeros past the largest scene file, in a link of 90 KB.
    const std::vector<uint8_t> zeros(sandbox::kLargestLinkedFile + 1, 0);

    std::string flipped = page + good;
    flipped[page.size() + 8 + payload.size() / 2] = flipped[page.size() + 8 + payload.size() / 2] == 'A' ? 'B' : 'A';
    size_t overGroup = payload.size() - 1;
    while (overGroup % 4 != 1) --overGroup;
    std::vector<uint8_t> trailing = packed;
    trailing.push_back(0);

    struct Case {
        const char* what;
        std::string link;
        LinkFault fault;
    };
    const std::vector<Case> cases = {
        {"no fragment", "http://h/sandbox.html", LinkFault::NotALink},
        {"another fragment", "http://h/sandbox.html#top", LinkFault::NotALink},
        {"version 2", page + "scene=2." + payload, LinkFault::TooNew},
        {"version 10", page + "scene=10." + payload, LinkFault::TooNew},
        {"version 0", page + "scene=0." + payload, LinkFault::Damaged},
        {"no version", page + "scene=." + payload, LinkFault::Damaged},
        {"no dot", page + "scene=1" + payload, LinkFault::Damaged},
        {"a version of letters", page + "scene=v1." + payload, LinkFault::Damaged},
        {"standard base64's +", page + "scene=1." + payload.substr(0, 40) + "+" + payload.substr(41), LinkFault::Damaged},
        {"an escaped character", page + "scene=1.%41" + payload.substr(1), LinkFault::Damaged},
        {"padding", page + good + "==", LinkFault::Damaged},
        {"one character over a group", page + "scene=1." + payload.substr(0, overGroup), LinkFault::Damaged},
        {"cut in half", page + good.substr(0, good.size() / 2), LinkFault::Damaged},
        {"cut by its last byte", with(std::vector<uint8_t>(packed.begin(), packed.end() - 1)), LinkFault::Damaged},
        {"no data", page + "scene=1.", LinkFault::Damaged},
        {"a character changed", flipped, LinkFault::Damaged},
        {"a byte after the stream", with(trailing), LinkFault::Damaged},
        {"not zlib", with({'B', 'M', 1, 2, 3, 4}), LinkFault::Damaged},
        {"too large once inflated", deflated(zeros), LinkFault::Damaged},
        {"a picture inside", deflated(std::vector<uint8_t>(file.begin(), file.begin() + 308278)), LinkFault::BadScene},
        {"a changed scene file inside", deflated(changed), LinkFault::BadScene},
        {"words inside", deflated({'h', 'e', 'l', 'l', 'o'}), LinkFault::BadScene},
        {"a newer scene file inside", deflated(newer), LinkFault::TooNew},
    };
    for (const Case& c : cases) {
        SceneState scene = Cup();
        scene.step = 7;
        std::string why;
        LinkFault fault = LinkFault::None;
        EXPECT_FALSE(sandbox::SceneFromLink(c.link, &scene, &why, &fault)) << c.what;
        EXPECT_EQ(fault, c.fault) << c.what << ": " << why;
        EXPECT_FALSE(why.empty()) << c.what;
        EXPECT_EQ(scene.step, 7u) << c.what;
        EXPECT_EQ(scene.pixels, Cup().pixels) << c.what;
    }
    // The reasons a player reads.
    std::string why;
    SceneState scene;
    sandbox::SceneFromLink(page + "scene=2." + payload, &scene, &why);
    EXPECT_EQ(why, "a scene link made by a newer version of the sandbox");
    sandbox::SceneFromLink(deflated(zeros), &scene, &why);
    EXPECT_EQ(why, "a damaged scene link (too large once unpacked)");
}

// The sandbox on the headless driver, started with a command line, with step i before idle turn
// 3 × (i + 1); the scene folder a fresh one of the test's.
class SceneLinkWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);
        setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
        scenes = data.File("ondrel/scenes");
        std::filesystem::create_directories(scenes);
    }
    void TearDown() override {
        ResetProcessState();
        unsetenv("XDG_DATA_HOME");
    }
    int Run(std::string commandLine) {
        headless::SetBeforeIdleHook([&](int turn) {
            if (turn == 1) headless::TapKey(VK_SPACE);  // paused, so that no step changes the scene
            const size_t step = static_cast<size_t>(turn / 3);
            if (turn % 3 != 0 || step == 0) return;
            if (GetAsyncKeyState(VK_CONTROL) & 0x8000) headless::KeyUp(VK_CONTROL);
            if (step <= steps.size()) steps[step - 1]();
            else if (step == steps.size() + 1) headless::TapKey(VK_ESCAPE);
            else PostQuitMessage(-1);
        });
        return sandbox::SandboxMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), commandLine.data());
    }
    static sandbox::SandboxWindow& Sandbox() {
        for (int i = 0; i < appGlobals.windowRegistryCapacity; ++i)
            if (appGlobals.windowRegistry[i]) return *static_cast<sandbox::SandboxWindow*>(appGlobals.windowRegistry[i]);
        std::abort();
    }
    static SceneState Now() { return Sandbox().TheScene().Save(); }

    IoTempDir data;
    std::string scenes;
    std::vector<std::function<void()>> steps;
};

// A scene of its own in the autosave; --open-link opens the link's scene over it, and undo brings
// the autosave's back: nothing the player had is lost.
TEST_F(SceneLinkWindowTest, OpenLinkKeepsTheSceneBeforeItForUndo) {
    SceneState own;
    own.pixels.assign(kW * kH, E);
    for (int x = 10; x < 50; ++x) own.pixels[100 * kW + x] = X;
    own.taps = {{30, 20}};
    own.step = 99;
    std::string why;
    ASSERT_TRUE(sandbox::WriteFileBytes(scenes + "/" + sandbox::kAutosaveName, FileOf(own), &why)) << why;

    std::vector<SceneState> seen;
    std::vector<std::string> said;
    auto look = [&] {
        seen.push_back(Now());
        said.push_back(Sandbox().Status());
    };
    steps = {look, [] {
                 headless::KeyDown(VK_CONTROL);
                 headless::TapKey('Z');
             },
             look};
    EXPECT_EQ(Run("--open-link \"https://example.org/sandbox.html#" + sandbox::SceneLinkFragment(FileOf(Cup())) + "\""), 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(Same(seen[0], Cup()));
    EXPECT_EQ(said[0], "Opened the scene of the link (Ctrl+Z goes back)");
    EXPECT_TRUE(Same(seen[1], own));
}

// A damaged link opens nothing: the autosave's scene stays, and the status line says why.
TEST_F(SceneLinkWindowTest, ADamagedLinkLeavesTheSceneAlone) {
    SceneState own;
    own.pixels.assign(kW * kH, E);
    own.pixels[5 * kW + 5] = X;
    std::string why;
    ASSERT_TRUE(sandbox::WriteFileBytes(scenes + "/" + sandbox::kAutosaveName, FileOf(own), &why)) << why;
    const std::string good = sandbox::SceneLinkFragment(FileOf(Cup()));
    std::vector<SceneState> seen;
    std::vector<std::string> said;
    steps = {[&] {
        seen.push_back(Now());
        said.push_back(Sandbox().Status());
    }};
    EXPECT_EQ(Run("--open-link \"#" + good.substr(0, good.size() - 10) + "\""), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(Same(seen[0], own));
    EXPECT_EQ(said[0].rfind("Not opened: a damaged scene link (", 0), 0u) << said[0];
}

// File > Share link (U) on the desktop writes the link into the scene folder; it reads back to
// the scene the window shows.
TEST_F(SceneLinkWindowTest, ShareLinkWritesTheLinkBesideTheScenes) {
    std::string why;
    ASSERT_TRUE(sandbox::WriteFileBytes(scenes + "/" + sandbox::kAutosaveName, FileOf(Cup()), &why)) << why;
    std::string said;
    steps = {[] { headless::TapKey('U'); }, [&] { said = Sandbox().Status(); }};
    EXPECT_EQ(Run(""), 0);
    std::vector<std::string> links;
    for (const auto& entry : std::filesystem::directory_iterator(scenes))
        if (entry.path().extension() == ".txt") links.push_back(entry.path().string());
    ASSERT_EQ(links.size(), 1u);
    std::ifstream in(links[0]);
    std::string link;
    std::getline(in, link);
    EXPECT_EQ(link.rfind(std::string(sandbox::kDefaultLinkPage) + "#scene=1.", 0), 0u) << link.substr(0, 80);
    EXPECT_EQ(said, "Link of " + std::to_string(link.size()) + " characters saved as " +
                        std::filesystem::path(links[0]).filename().string());
    SceneState back;
    ASSERT_TRUE(sandbox::SceneFromLink(link, &back, &why)) << why;
    EXPECT_TRUE(Same(back, Cup()));
}

// A link made by the web page (tests/web/share_test.js: on a fresh page, paused, three straight
// walls of a one-cell brush, (100, 200)-(300, 200), (100, 150)-(100, 250) and (300, 150)-(300, 250),
// and a tap at (200, 120)), opened on the desktop: those walls cell for cell, the tap, no water;
// the batch mode's --scene gives the same scene.
TEST_F(SceneLinkWindowTest, OpensALinkMadeInTheBrowser) {
    std::ifstream in(std::string(ONDREL_TEST_DATA) + "/browser_link.txt");
    std::string link;
    std::getline(in, link);
    ASSERT_EQ(link.rfind("http://127.0.0.1:", 0), 0u) << link.substr(0, 80);
    std::vector<uint8_t> walls(kW * kH, E);
    for (int x = 100; x <= 300; ++x) walls[200 * kW + x] = X;
    for (int y = 150; y <= 250; ++y) walls[static_cast<size_t>(y) * kW + 100] = walls[static_cast<size_t>(y) * kW + 300] = X;

    std::vector<SceneState> seen;
    steps = {[&] { seen.push_back(Now()); }};
    EXPECT_EQ(Run("--open-link \"" + link + "\""), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].pixels, walls);
    EXPECT_EQ(seen[0].taps, (std::vector<sandbox::Tap>{{200, 120}}));
    EXPECT_TRUE(seen[0].spans.empty());

    const std::string saved = data.File("batch.bmp");
    ASSERT_EQ(sandbox::RunBatch({"--run", "0", "--scene", link, "--save", saved}), 0);
    SceneState batch;
    std::string why;
    ASSERT_TRUE(sandbox::LoadSceneFile(saved, &batch, &why)) << why;
    EXPECT_TRUE(Same(batch, seen[0]));
}

// The batch mode's --scene takes a link as it takes a file; a damaged one exits 2 and writes
// nothing. --link writes the link of the scene it ends with.
TEST(SceneLinkBatch, SceneTakesALinkAndLinkWritesOne) {
    ResetProcessState();
    ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);  // the sandbox's media
    IoTempDir out;
    const std::string saved = out.File("out.bmp"), linked = out.File("out.txt");
    const std::string link = "http://h/sandbox.html#" + sandbox::SceneLinkFragment(FileOf(Cup()));
    ASSERT_EQ(sandbox::RunBatch({"--run", "0", "--scene", link, "--save", saved, "--link", linked}), 0);
    SceneState back;
    std::string why;
    ASSERT_TRUE(sandbox::LoadSceneFile(saved, &back, &why)) << why;
    EXPECT_TRUE(Same(back, Cup()));
    std::ifstream in(linked);
    std::string written;
    std::getline(in, written);
    ASSERT_TRUE(sandbox::SceneFromLink(written, &back, &why)) << why;
    EXPECT_TRUE(Same(back, Cup()));

    const std::string other = out.File("other.bmp");
    EXPECT_EQ(sandbox::RunBatch({"--run", "0", "--scene", link.substr(0, link.size() - 5), "--save", other}), 2);
    EXPECT_FALSE(std::filesystem::exists(other));
    ResetProcessState();
}

}  // namespace
#endif
