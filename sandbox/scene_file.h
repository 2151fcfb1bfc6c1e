// Scene files: an ordinary 8-bit Windows bitmap of the scene, which every image viewer opens,
// followed by what a picture cannot hold. All numbers are little-endian.
//
//   offset   size     what
//   0        14       BITMAPFILEHEADER: "BM", bfSize = 308278 (the bitmap's own bytes, the
//                     headers, table and pixels), 0, 0, bfOffBits = 1078
//   14       40       BITMAPINFOHEADER: 40, width 640, height 480 (rows bottom-up), 1 plane,
//                     8 bits, BI_RGB, image size 307200, 2835 × 2835 pixels a metre, 256 colours
//                     used, 256 important
//   54       1024     the colour table: the scene's palette, 256 × (blue, green, red, 0)
//   1078     307200   the pixels, palette indices, the bottom row first
//   308278   24       the scene record: "OndrelSn" (8 bytes), the record's version (u32, 1),
//                     the step number (u32), the number of taps T (u32), the number of spans S (u32)
//            8 × T    the taps in their order: x, y (i32 each)
//            13 × S   the spans in list order: x0, x1, y (i32 each), active (u8, 0 or 1)
//            4        FNV-1a (32 bits) of every byte of the file before it
//
// A bitmap reader stops at the pixels; the record after them is the sandbox's. Files of earlier
// versions gave the whole file's size as bfSize, which readers that take the row length from it
// misread; they are read all the same. A reader here takes nothing on trust: it refuses a file
// whose headers are not exactly the above, whose counts do not fill the rest of the file exactly,
// whose taps lie outside the scene or whose check sum differs, and leaves the caller's scene alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sandbox/scene.h"

namespace sandbox {

constexpr int32_t kSceneFileHeaderBytes = 14 + 40 + 1024;
constexpr int32_t kSceneFileBitmapBytes = kSceneFileHeaderBytes + kSceneWidth * kSceneHeight;
constexpr int32_t kSceneFileRecordBytes = 24;

// Why bytes are not a scene: not a bitmap at all; a picture (a bitmap of another layout, or of
// the scene's without the record); a scene file of another version; a damaged scene file; (for a
// file) one that cannot be read.
enum class SceneFault { None, NotABitmap, APicture, AnotherVersion, Damaged, Unreadable };

// The whole file for a scene, with `palette` (768 bytes of red, green, blue) as colour table.
std::vector<uint8_t> EncodeScene(const SceneState& scene, const uint8_t* palette);
// The scene in a file's bytes; false, with the reason in *why, what it is in *fault (when given)
// and *scene untouched, when the bytes are not a whole, undamaged scene file.
bool DecodeScene(const std::vector<uint8_t>& bytes, SceneState* scene, std::string* why, SceneFault* fault = nullptr);

// Whole files, written to a new file first and then put in place, so that an older file of the
// name is replaced only by a complete new one.
bool ReadFileBytes(const std::string& name, std::vector<uint8_t>* bytes, std::string* why);
bool WriteFileBytes(const std::string& name, const std::vector<uint8_t>& bytes, std::string* why);

bool SaveSceneFile(const std::string& name, const SceneState& scene, std::string* why);
// As DecodeScene, for a file.
bool LoadSceneFile(const std::string& name, SceneState* scene, std::string* why, SceneFault* fault = nullptr);

// Any 8-bit bitmap file as walls, stretched to the scene's size (each cell takes the picture's
// pixel its position falls on, scaled down). A saved scene (a file of the scene file's layout, of
// any version, whole or damaged) keeps its walls, and its water and empty cells become empty. Any
// other picture goes by its own colour table: a colour whose brightness 0.299 R + 0.587 G + 0.114 B
// is 128 or more is light and becomes empty; every other colour becomes wall. False, with the
// reason in *why, for a file that is not an 8-bit uncompressed bitmap.
bool ImportImage(const std::string& name, std::vector<bool>* light, std::string* why);

// The folder the sandbox keeps its scenes in, made when missing: $XDG_DATA_HOME/ondrel/scenes,
// else ~/.local/share/ondrel/scenes; on Windows %APPDATA%\Ondrel\scenes; on the web /scenes in
// the page's file system. Empty when it cannot be made.
std::string SceneFolder();
// The scene kept when the program closes and opened when it starts.
constexpr const char* kAutosaveName = "autosave.bmp";
// A new name in `folder` for `stem` and `extension`: stem-N-YYYY-MM-DD.extension, N one more than
// the largest number of a file of that stem there (1 for the first).
std::string NewFileName(const std::string& folder, const std::string& stem, const std::string& extension);
// The .bmp files of the folder, newest name first (names sort by number within a stem).
std::vector<std::string> BitmapFiles(const std::string& folder);

}  // namespace sandbox
