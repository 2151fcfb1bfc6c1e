// A scene as a link: the scene file's own bytes (scene_file.h: the bitmap and the record, whatever
// the scene's size), compressed with zlib and written in base64url into the fragment of the
// page's address, so that no server sees or keeps it:
//
//   https://example.org/sandbox.html#scene=1.eNrt3F-s13Udx_EXjSVJJiAipgM8aTsbY51Jh...
//
// "scene=" names the scene; "1" is the link's version (how the bytes after the dot are made:
// zlib's format, RFC 1950, of the whole scene file, in the URL-safe base64 alphabet of RFC 4648
// without padding), "." ends it. A reader refuses a link of a larger version as made by a newer
// sandbox, and everything that is not a whole link of its own version as damaged: a character
// outside the alphabet, a stream cut short or with bytes after its end, a check sum that differs,
// more than kLargestLinkedFile bytes once inflated (inflating stops there); the scene file inside
// is then held to the file reader's own checks. Blanks and line breaks in the payload (a link
// wrapped by a mail or chat program) are skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sandbox/scene.h"
#include "sandbox/scene_file.h"

namespace sandbox {

constexpr int kSceneLinkVersion = 1;
// The most a link may inflate to. Scene files of the largest sizes may be larger than this when
// full of spans; a link is made to be typed into a page's address, so a page never inflates more
// than this from one (a 4096 x 2160 scene with four million spans still fits).
constexpr size_t kLargestLinkedFile = size_t{64} << 20;

// Why text is not a scene: no "scene=" in it; a link of a newer version; a damaged link; (given
// to SceneFromLink) a link whose scene file is refused by the file reader.
enum class LinkFault { None, NotALink, TooNew, Damaged, BadScene };

// Whether this build can make and read links (it has zlib).
bool LinksAvailable();

// The fragment, without its "#", for a scene file's bytes: "scene=1." and the payload.
std::string SceneLinkFragment(const std::vector<uint8_t>& fileBytes);
// The link: `page` (an address without a fragment), "#" and the fragment.
std::string SceneLink(const std::string& page, const std::vector<uint8_t>& fileBytes);

// Whether `text` is meant as a link rather than a file name: its fragment (after a "#") has a
// parameter (between "&"s) that begins with "scene=", or it begins with "scene=" itself.
bool LooksLikeSceneLink(const std::string& text);

// The scene file's bytes in a link (a whole address, or its fragment with or without "#"): false,
// with the reason in *why, what it is in *fault (when given) and *fileBytes untouched, when it
// is not a whole link of this version.
bool ReadSceneLink(const std::string& link, std::vector<uint8_t>* fileBytes, std::string* why, LinkFault* fault = nullptr);
// The scene in a link: ReadSceneLink, then DecodeScene; *scene untouched when either refuses.
bool SceneFromLink(const std::string& link, SceneState* scene, std::string* why, LinkFault* fault = nullptr);

// The page a new link names: on the web the page's own address; elsewhere $ONDREL_SANDBOX_PAGE
// when set, else kDefaultLinkPage, the page scripts/serve-web.sh serves.
constexpr const char* kDefaultLinkPage = "http://127.0.0.1:8000/sandbox.html";
std::string LinkPage();

// On the web, the page's address, from the JavaScript half, web_link.js. Elsewhere both do nothing.
// The scene link the page was opened with, taken out of its address (so that reloading the page
// goes on from its autosave rather than the link); empty when it has none.
std::string TakePageLink();
// Puts `link` into the page's address (replacing the entry of its history) and offers it to the
// clipboard; false where there is no page.
bool ShowLinkInPage(const std::string& link);

}  // namespace sandbox
