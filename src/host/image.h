// Pictures decoded from TGA (or PNG) files into upright RGB rows: row 0 is the picture's bottom
// row as seen, which is what GL takes as texture row t = 0. A picture with an alpha channel has
// its colours multiplied by it: the effects add their pictures onto the frame, so black is the
// see-through colour, and a transparent background must come out black.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes, bottom row first
};

// Larger sides are refused: no picture of the piece comes near them, and a damaged header must
// not make us allocate gigabytes.
constexpr int kMaxImageSide = 8192;

// Decodes a TGA file (true-colour 24/32-bit, grey, colour-mapped, plain or RLE). False, with
// error set to a short reason ("truncated", "unsupported TGA type 9", "size 0x0"), when the data
// is not a picture this host can show. Never reads outside the given bytes. The alpha of a 32-bit
// file counts when its header declares alpha bits.
bool DecodeTga(const std::vector<std::uint8_t>& file, Image& image, std::string& error);

// Decodes a TGA or a PNG file, told apart by their bytes rather than their names. A file of
// another known format is refused naming it ("a JPEG picture; only TGA and PNG are read").
bool DecodePicture(const std::vector<std::uint8_t>& file, Image& image, std::string& error);

// A picture of one black pixel: what a missing or broken file is shown as.
Image BlackImage();
