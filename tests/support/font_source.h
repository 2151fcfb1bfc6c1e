// The application's font as its source draws it (media/font8x12.txt), read here on its own, so
// that tests can say which pixels a text must ink without asking the font code.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Each character the source names by itself: its 12 rows of 8 cells, '#' ink and '.' background.
const std::map<char, std::vector<std::string>>& FontSourceInk();

// Sets the ink of `text` written from (0, 0) of an image of palette indices `width` wide, each
// character in a cell 8 wide, a space drawing nothing; every other pixel keeps its value.
void InkText(std::vector<uint8_t>& image, int width, const std::string& text, uint8_t colour);
