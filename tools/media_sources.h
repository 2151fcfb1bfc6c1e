// Reading the human-readable media sources in media/ (the palette, the font as text art, the
// sprite sheet as text art) and compiling them into the files the program reads. Header-only,
// so that the tests compile the real media exactly as the build's ondrel-media tool does.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/data_pack.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/palette.h"
#include "gfx/surface.h"
#include "io/file_stream.h"

namespace media {

constexpr int kCellWidth = kDataPackCellWidth;
constexpr int kCellHeight = kDataPackCellHeight;
constexpr int kStripWidth = BitmapFont::kGlyphCount * kCellWidth;
constexpr int kStripBytes = kStripWidth * kCellHeight;

// The names of glyphs 0 to 91 in font8x12.txt: the glyph's character, except "degree" and
// "pound" for the bytes 0xB0 and 0xA3, which the text file cannot hold as themselves.
inline std::vector<std::string> GlyphNames() {
    std::vector<std::string> names;
    for (int g = 0; g < BitmapFont::kGlyphCount; ++g) {
        const char c = BitmapFont::kGlyphCharacters[g];
        names.emplace_back(c == '\xB0' ? "degree" : c == '\xA3' ? "pound" : std::string(1, c));
    }
    return names;
}

namespace detail {

// Lines without comments (";" in the first column) and without trailing white space or "\r".
struct Lines {
    explicit Lines(std::istream& in) {
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
            if (!line.empty() && line[0] == ';') continue;
            text.push_back(line);
            numbers.push_back(number);
        }
    }
    std::vector<std::string> text;
    std::vector<int> numbers;
};

inline bool Fail(std::string* error, int line, const std::string& message) {
    if (error) *error = (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + message;
    return false;
}

inline bool ReadNumbers(std::istringstream& fields, int count, std::vector<int>* values) {
    for (int i = 0; i < count; ++i) {
        int v;
        if (!(fields >> v) || v < 0 || v > 255) return false;
        values->push_back(v);
    }
    return true;
}

}  // namespace detail

// palette.txt: "index r g b" or "first-last r0 g0 b0 r1 g1 b1"; every index exactly once.
inline bool ParsePalette(std::istream& in, std::array<uint8_t, kPaletteBytes>* rgb, std::string* error) {
    detail::Lines lines(in);
    std::array<bool, 256> given{};
    for (size_t n = 0; n < lines.text.size(); ++n) {
        const std::string& line = lines.text[n];
        int number = lines.numbers[n];
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::istringstream fields(line);
        std::string range;
        fields >> range;
        int first, last;
        char dash = 0;
        std::istringstream rangeFields(range);
        if (!(rangeFields >> first)) return detail::Fail(error, number, "expected an index or a range");
        if (rangeFields >> dash) {
            if (dash != '-' || !(rangeFields >> last)) return detail::Fail(error, number, "bad range " + range);
        } else {
            last = first;
        }
        if (first < 0 || last > 255 || first > last) return detail::Fail(error, number, "index out of 0 to 255");
        std::vector<int> c;
        int colours = first == last ? 1 : 2;
        if (!detail::ReadNumbers(fields, 3 * colours, &c))
            return detail::Fail(error, number, "expected " + std::to_string(3 * colours) + " values of 0 to 255");
        for (int i = first; i <= last; ++i) {
            if (given[static_cast<size_t>(i)]) return detail::Fail(error, number, "index " + std::to_string(i) + " given twice");
            given[static_cast<size_t>(i)] = true;
            for (int k = 0; k < 3; ++k) {
                int value = c[static_cast<size_t>(k)];
                if (colours == 2) {
                    int to = c[static_cast<size_t>(k + 3)];
                    // Rounded to the nearest: value + (to − value) · (i − first) / (last − first).
                    int span = last - first;
                    int step = (to - value) * (i - first);
                    value += (2 * step + (step >= 0 ? span : -span)) / (2 * span);
                }
                (*rgb)[static_cast<size_t>(3 * i + k)] = static_cast<uint8_t>(value);
            }
        }
    }
    for (int i = 0; i < 256; ++i)
        if (!given[static_cast<size_t>(i)]) return detail::Fail(error, 0, "index " + std::to_string(i) + " is not given");
    return true;
}

// font8x12.txt: blocks of "glyphs" + names, then 12 rows of 8-character cells; "#" is ink.
// The strip has 1 for ink and 0 for background.
inline bool ParseFont(std::istream& in, std::vector<uint8_t>* strip, std::string* error) {
    std::vector<std::string> names = GlyphNames();
    std::map<std::string, int> indexOf;
    for (size_t i = 0; i < names.size(); ++i) indexOf[names[i]] = static_cast<int>(i);
    strip->assign(kStripBytes, 0);
    std::vector<bool> drawn(names.size(), false);
    detail::Lines lines(in);
    size_t n = 0;
    while (n < lines.text.size()) {
        const std::string& line = lines.text[n];
        int number = lines.numbers[n];
        ++n;
        if (line.empty()) continue;
        std::istringstream fields(line);
        std::string word;
        fields >> word;
        if (word != "glyphs") return detail::Fail(error, number, "expected \"glyphs\" and the characters of a block");
        std::vector<int> block;
        while (fields >> word) {
            auto found = indexOf.find(word);
            if (found == indexOf.end()) return detail::Fail(error, number, "no glyph for \"" + word + "\"");
            if (drawn[static_cast<size_t>(found->second)]) return detail::Fail(error, number, "\"" + word + "\" drawn twice");
            drawn[static_cast<size_t>(found->second)] = true;
            block.push_back(found->second);
        }
        if (block.empty()) return detail::Fail(error, number, "a block without characters");
        size_t rowLength = block.size() * (kCellWidth + 1) - 1;
        for (int j = 0; j < kCellHeight; ++j, ++n) {
            if (n >= lines.text.size()) return detail::Fail(error, number, "the block has fewer than 12 rows");
            const std::string& row = lines.text[n];
            if (row.size() != rowLength)
                return detail::Fail(error, lines.numbers[n], "a row must be " + std::to_string(rowLength) + " characters");
            for (size_t g = 0; g < block.size(); ++g) {
                size_t at = g * (kCellWidth + 1);
                if (g > 0 && row[at - 1] != ' ') return detail::Fail(error, lines.numbers[n], "cells are separated by one space");
                for (int k = 0; k < kCellWidth; ++k) {
                    char c = row[at + static_cast<size_t>(k)];
                    if (c != '#' && c != '.') return detail::Fail(error, lines.numbers[n], "pixels are \"#\" or \".\"");
                    size_t pixel = static_cast<size_t>(j) * kStripWidth + static_cast<size_t>(block[g]) * kCellWidth + static_cast<size_t>(k);
                    (*strip)[pixel] = c == '#' ? 1 : 0;
                }
            }
        }
    }
    for (size_t i = 0; i < names.size(); ++i)
        if (!drawn[i]) return detail::Fail(error, 0, "glyph \"" + names[i] + "\" is missing");
    return true;
}

struct Sheet {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // top row first, `width` bytes a row
};

// sprites.txt: "colour X index" lines, then "sheet" and the rows of the picture.
inline bool ParseSheet(std::istream& in, Sheet* sheet, std::string* error) {
    std::map<char, uint8_t> legend;
    detail::Lines lines(in);
    size_t n = 0;
    for (; n < lines.text.size(); ++n) {
        const std::string& line = lines.text[n];
        if (line.empty()) continue;
        if (line == "sheet") break;
        std::istringstream fields(line);
        std::string word, symbol;
        int index;
        if (!(fields >> word >> symbol >> index) || word != "colour" || symbol.size() != 1 || index < 0 || index > 255)
            return detail::Fail(error, lines.numbers[n], "expected \"colour\", one character and an index of 0 to 255");
        if (legend.count(symbol[0])) return detail::Fail(error, lines.numbers[n], "colour given twice");
        legend[symbol[0]] = static_cast<uint8_t>(index);
    }
    if (n == lines.text.size()) return detail::Fail(error, 0, "no \"sheet\" line");
    *sheet = Sheet{};
    for (++n; n < lines.text.size(); ++n) {
        const std::string& row = lines.text[n];
        if (row.empty()) break;
        if (sheet->height == 0) sheet->width = static_cast<int>(row.size());
        if (static_cast<int>(row.size()) != sheet->width) return detail::Fail(error, lines.numbers[n], "rows differ in length");
        for (char c : row) {
            auto found = legend.find(c);
            if (found == legend.end()) return detail::Fail(error, lines.numbers[n], std::string("no colour for \"") + c + "\"");
            sheet->pixels.push_back(found->second);
        }
        ++sheet->height;
    }
    if (sheet->width == 0 || sheet->height == 0) return detail::Fail(error, 0, "the sheet is empty");
    return true;
}

// Compiles palette.txt, font8x12.txt and sprites.txt of `sources` into `output`:
// Media/Sprites.bmp, Media/font8x12.fon and, with BuildDataPack, Data0.cdf. The current
// directory is `output` while the pack is built and is restored afterwards.
inline bool CompileMedia(const std::filesystem::path& sources, const std::filesystem::path& output, std::string* error) {
    std::array<uint8_t, kPaletteBytes> palette{};
    std::vector<uint8_t> strip;
    Sheet sheet;
    std::string detail;
    {
        std::ifstream in(sources / "palette.txt");
        if (!in) return detail::Fail(error, 0, "cannot read " + (sources / "palette.txt").string());
        if (!ParsePalette(in, &palette, &detail)) return detail::Fail(error, 0, "palette.txt: " + detail);
    }
    {
        std::ifstream in(sources / "font8x12.txt");
        if (!in) return detail::Fail(error, 0, "cannot read " + (sources / "font8x12.txt").string());
        if (!ParseFont(in, &strip, &detail)) return detail::Fail(error, 0, "font8x12.txt: " + detail);
    }
    {
        std::ifstream in(sources / "sprites.txt");
        if (!in) return detail::Fail(error, 0, "cannot read " + (sources / "sprites.txt").string());
        if (!ParseSheet(in, &sheet, &detail)) return detail::Fail(error, 0, "sprites.txt: " + detail);
    }

    std::error_code failure;
    std::filesystem::create_directories(output / "Media", failure);
    if (failure) return detail::Fail(error, 0, "cannot create " + (output / "Media").string());
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(output, failure);
    if (failure) return detail::Fail(error, 0, "cannot enter " + output.string());

    // The sheet's colour table is the palette: the pack builder takes it from there.
    SetPalette(palette.data());
    bool ok = SaveBmp(".\\Media\\Sprites.bmp", sheet.pixels.data(), sheet.width, sheet.height);
    if (!ok) detail = "cannot write Media/Sprites.bmp";
    if (ok) {
        FileStream font(".\\Media\\font8x12.fon", WriteBinary);
        ok = font.Write(strip.data(), kStripBytes) && font.Close();
        if (!ok) detail = "cannot write Media/font8x12.fon";
    }
    if (ok) {
        ok = BuildDataPack();
        if (!ok) detail = "cannot write Data0.cdf";
    }
    std::filesystem::current_path(previous, failure);
    return ok || detail::Fail(error, 0, detail);
}

}  // namespace media
