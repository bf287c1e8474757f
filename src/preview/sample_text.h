// The preview's first text, chosen from what the font covers: a pangram
// for a Latin font, otherwise a line of common characters of the block
// where the font covers the most.
#ifndef TAVREL_PREVIEW_SAMPLE_TEXT_H
#define TAVREL_PREVIEW_SAMPLE_TEXT_H

#include <cstdint>
#include <functional>
#include <string>

// `maps` tells whether the font has a character. UTF-8; empty when the
// font maps nothing the blocks know.
std::string sample_text(const std::function<bool(uint32_t)>& maps);

#endif
