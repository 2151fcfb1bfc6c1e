// Reading the font's source: a "glyphs" line names the characters of the twelve rows of cells
// below it.
#include "tests/support/font_source.h"

#include <fstream>
#include <sstream>

const std::map<char, std::vector<std::string>>& FontSourceInk() {
    static const std::map<char, std::vector<std::string>> ink = [] {
        std::map<char, std::vector<std::string>> read;
        std::ifstream in(std::string(ONDREL_TEST_DATA) + "/../../media/font8x12.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].rfind("glyphs ", 0) != 0) continue;
            std::istringstream names(lines[i].substr(7));
            std::vector<std::string> glyphs;
            for (std::string name; names >> name;) glyphs.push_back(name);
            for (size_t j = 1; j <= 12 && i + j < lines.size(); ++j) {
                std::istringstream cells(lines[i + j]);
                std::string cell;
                for (const std::string& name : glyphs)
                    if (cells >> cell && name.size() == 1) read[name[0]].push_back(cell);
            }
        }
        return read;
    }();
    return ink;
}

void InkText(std::vector<uint8_t>& image, int width, const std::string& text, uint8_t colour) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') continue;
        const std::vector<std::string>& rows = FontSourceInk().at(text[i]);
        for (size_t j = 0; j < rows.size(); ++j)
            for (size_t k = 0; k < rows[j].size(); ++k)
                if (rows[j][k] == '#') image[j * static_cast<size_t>(width) + 8 * i + k] = colour;
    }
}
