// The sandbox's scene link reader (SceneFromLink) on any text: the address, the fragment's key
// and version, base64url, zlib and the scene file inside. Beside the sanitizers: a link it refuses
// gives a reason and leaves the caller's scene alone; a link it takes gives the scene of the file
// it unpacked, and that file made into a link again reads back to the same scene.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "sandbox/scene_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string link(reinterpret_cast<const char*>(data), size);
    sandbox::SceneState scene;
    scene.step = 12345;
    scene.taps.push_back(sandbox::Tap{1, 2});
    std::string why;
    sandbox::LinkFault fault = sandbox::LinkFault::None;
    if (!sandbox::SceneFromLink(link, &scene, &why, &fault)) {
        FUZZ_CHECK(!why.empty() && fault != sandbox::LinkFault::None);
        FUZZ_CHECK(scene.step == 12345 && scene.pixels.empty() && scene.spans.empty());
        FUZZ_CHECK(scene.taps.size() == 1 && scene.taps[0] == (sandbox::Tap{1, 2}));
        return 0;
    }
    std::vector<uint8_t> file;
    FUZZ_CHECK(sandbox::ReadSceneLink(link, &file, &why));
    FUZZ_CHECK(file.size() <= sandbox::kLargestLinkedFile);
    sandbox::SceneState again;
    FUZZ_CHECK(sandbox::SceneFromLink(sandbox::SceneLinkFragment(file), &again, &why));
    FUZZ_CHECK(again.pixels == scene.pixels && sandbox::SameSpans(again.spans, scene.spans) && again.taps == scene.taps &&
               again.step == scene.step);
    return 0;
}
