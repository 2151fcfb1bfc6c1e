// Scene links: zlib and base64url over the scene file's bytes; on the web, the page's address.
#include "sandbox/scene_link.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "tools/zlib/zlib_pack.h"

#if defined(__EMSCRIPTEN__)
extern "C" int ondrel_sandbox_page_address(char* buffer, int size, int takeLink);
extern "C" void ondrel_sandbox_show_link(const char* link);
#endif

namespace sandbox {

namespace {

constexpr const char* kKey = "scene=";
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string Base64Url(const uint8_t* p, size_t n) {
    std::string out;
    out.reserve((n + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        const uint32_t v = static_cast<uint32_t>(p[i]) << 16 | static_cast<uint32_t>(p[i + 1]) << 8 | p[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) out += kAlphabet[(v >> shift) & 63];
    }
    if (n - i == 1) {
        const uint32_t v = static_cast<uint32_t>(p[i]) << 16;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
    } else if (n - i == 2) {
        const uint32_t v = static_cast<uint32_t>(p[i]) << 16 | static_cast<uint32_t>(p[i + 1]) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
    }
    return out;
}

int Sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The bytes of a payload (blanks skipped); false, with the reason, for a character outside the
// alphabet, or an end no whole link has (one character over a whole group, or a last character
// with bits left over that are not 0: the link was cut).
bool FromBase64Url(const std::string& text, size_t from, size_t to, std::vector<uint8_t>* out, const char** what) {
    uint32_t bits = 0;
    int held = 0;
    for (size_t i = from; i < to; ++i) {
        if (Blank(text[i])) continue;
        const int v = Sextet(text[i]);
        if (v < 0) return *what = "a character that does not belong", false;
        bits = bits << 6 | static_cast<uint32_t>(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out->push_back(static_cast<uint8_t>(bits >> held));
        }
    }
    // A last group of one character holds no whole byte; the bits a shorter group leaves over are 0.
    if (held < 6 && (bits & ((1u << held) - 1)) == 0) return true;
    *what = "cut short";
    return false;
}

bool Fail(std::string* why, LinkFault* fault, const std::string& what, LinkFault kind) {
    *why = what;
    if (fault) *fault = kind;
    return false;
}

// Where the link's own part begins: in the fragment after the address's "#", among its parameters
// separated by "&" (a page may give it others), the one that begins with the key; without a "#",
// at the start of the text or nowhere.
size_t KeyAt(const std::string& text) {
    const size_t hash = text.find('#');
    if (hash == std::string::npos) return text.rfind(kKey, 0) == 0 ? 0 : std::string::npos;
    for (size_t at = hash + 1;;) {
        if (text.compare(at, std::strlen(kKey), kKey) == 0) return at;
        const size_t next = text.find('&', at);
        if (next == std::string::npos) return std::string::npos;
        at = next + 1;
    }
}

// Why a link's zlib stream did not unpack whole, as the damaged link's reason.
const char* Why(zlibpack::Unpacked unpacked) {
    switch (unpacked) {
        case zlibpack::Unpacked::Whole: return "";
        case zlibpack::Unpacked::CutShort: return "cut short";
        case zlibpack::Unpacked::BytesAfter: return "bytes after its end";
        case zlibpack::Unpacked::TooLarge: return "too large once unpacked";
        case zlibpack::Unpacked::NoZlib: return "this version cannot unpack it";
        case zlibpack::Unpacked::Damaged: break;
    }
    return "its data do not unpack";
}

}  // namespace

bool LinksAvailable() { return zlibpack::CanPack(); }

std::string SceneLinkFragment(const std::vector<uint8_t>& fileBytes) {
    const std::vector<uint8_t> packed = zlibpack::Pack(fileBytes);
    if (packed.empty()) return {};
    return kKey + std::to_string(kSceneLinkVersion) + "." + Base64Url(packed.data(), packed.size());
}

std::string SceneLink(const std::string& page, const std::vector<uint8_t>& fileBytes) {
    const std::string fragment = SceneLinkFragment(fileBytes);
    return fragment.empty() ? fragment : page.substr(0, page.find('#')) + "#" + fragment;
}

bool LooksLikeSceneLink(const std::string& text) { return KeyAt(text) != std::string::npos; }

bool ReadSceneLink(const std::string& link, std::vector<uint8_t>* fileBytes, std::string* why, LinkFault* fault) {
    const size_t key = KeyAt(link);
    if (key == std::string::npos) return Fail(why, fault, "not a scene link (it has no #scene= part)", LinkFault::NotALink);
    const size_t version = key + std::strlen(kKey);
    const size_t dot = link.find('.', version);
    const size_t end = std::min(link.find('&', version), link.size());
    if (dot == std::string::npos || dot == version || dot > end || dot - version > 9 ||
        !std::all_of(link.begin() + static_cast<std::ptrdiff_t>(version), link.begin() + static_cast<std::ptrdiff_t>(dot),
                     [](char c) { return c >= '0' && c <= '9'; }))
        return Fail(why, fault, "a damaged scene link (no version before its data)", LinkFault::Damaged);
    const long number = std::strtol(link.substr(version, dot - version).c_str(), nullptr, 10);
    if (number > kSceneLinkVersion)
        return Fail(why, fault, "a scene link made by a newer version of the sandbox", LinkFault::TooNew);
    if (number < 1) return Fail(why, fault, "a damaged scene link (no such version)", LinkFault::Damaged);
    if (!LinksAvailable()) return Fail(why, fault, "this version of the sandbox cannot read scene links", LinkFault::Damaged);
    std::vector<uint8_t> packed;
    const char* what = "";
    if (!FromBase64Url(link, dot + 1, end, &packed, &what))
        return Fail(why, fault, std::string("a damaged scene link (") + what + ")", LinkFault::Damaged);
    std::vector<uint8_t> bytes;
    const zlibpack::Unpacked unpacked = zlibpack::Unpack(packed, kLargestLinkedFile, &bytes);
    if (unpacked != zlibpack::Unpacked::Whole)
        return Fail(why, fault, std::string("a damaged scene link (") + Why(unpacked) + ")", LinkFault::Damaged);
    *fileBytes = std::move(bytes);
    if (fault) *fault = LinkFault::None;
    return true;
}

bool SceneFromLink(const std::string& link, SceneState* scene, std::string* why, LinkFault* fault) {
    std::vector<uint8_t> bytes;
    if (!ReadSceneLink(link, &bytes, why, fault)) return false;
    std::string inside;
    SceneFault fileFault = SceneFault::None;
    if (DecodeScene(bytes, scene, &inside, &fileFault)) return true;
    // The words of the file reader, said of a link.
    if (fileFault == SceneFault::AnotherVersion)
        return Fail(why, fault, "a scene link made by another version of the sandbox", LinkFault::TooNew);
    return Fail(why, fault, "a damaged scene link: " + inside, LinkFault::BadScene);
}

#if defined(__EMSCRIPTEN__)
namespace {
std::string PageAddress(bool takeLink) {
    const int size = ondrel_sandbox_page_address(nullptr, 0, 0);
    std::string text(static_cast<size_t>(size) + 1, '\0');
    ondrel_sandbox_page_address(text.data(), size + 1, takeLink ? 1 : 0);
    text.resize(std::strlen(text.c_str()));
    return text;
}
}  // namespace

std::string LinkPage() {
    const std::string address = PageAddress(false);
    return address.substr(0, address.find('#'));
}
std::string TakePageLink() {
    const std::string address = PageAddress(false);
    if (!LooksLikeSceneLink(address)) return {};
    PageAddress(true);
    return address;
}
bool ShowLinkInPage(const std::string& link) {
    ondrel_sandbox_show_link(link.c_str());
    return true;
}
#else
std::string LinkPage() {
    const char* page = std::getenv("ONDREL_SANDBOX_PAGE");
    return page && *page ? page : kDefaultLinkPage;
}
std::string TakePageLink() { return {}; }
bool ShowLinkInPage(const std::string&) { return false; }
#endif

}  // namespace sandbox
