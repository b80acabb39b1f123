// TGA and PNG pictures: a TGA header is checked here, the pixels decoded by stb_image, colours
// multiplied by their alpha where the file has one, the rows turned so the bottom row comes first.
#include "host/image.h"

#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 18;

struct TgaHeader {
    int idLength, mapType, imageType, mapFirst, mapLength, mapEntryBits;
    int width, height, pixelBits, descriptor;
};

int Little16(const std::uint8_t* bytes) { return bytes[0] | (bytes[1] << 8); }

TgaHeader ReadHeader(const std::uint8_t* bytes) {
    return {bytes[0], bytes[1], bytes[2], Little16(bytes + 3), Little16(bytes + 5), bytes[7],
            Little16(bytes + 12), Little16(bytes + 14), bytes[16], bytes[17]};
}

bool IsBitDepth(int bits) { return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32; }
std::uint64_t BytesFor(int bits) { return static_cast<std::uint64_t>(bits + 7) / 8; }

// Walks the run-length packets without decoding them: a few bytes must not make the decoder fill
// a picture of the largest size with zeros.
bool RunLengthDataFits(const std::vector<std::uint8_t>& file, std::uint64_t at, std::uint64_t pixelBytes,
                       std::uint64_t pixels) {
    while (pixels > 0) {
        if (at >= file.size()) return false;
        const std::uint8_t packet = file[at++];
        const std::uint64_t count = (packet & 0x7F) + 1u;
        at += (packet & 0x80) ? pixelBytes : count * pixelBytes;
        pixels -= count < pixels ? count : pixels;
    }
    return at <= file.size();
}

// Everything stb_image would otherwise take on trust or misread: the type, the size, the colour
// map, and whether the file holds the pixels its header promises.
std::string CheckHeader(const TgaHeader& tga, const std::vector<std::uint8_t>& file) {
    const int type = tga.imageType;
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) {
        return "unsupported TGA type " + std::to_string(type);
    }
    if (tga.width == 0 || tga.height == 0 || tga.width > kMaxImageSide || tga.height > kMaxImageSide) {
        return "size " + std::to_string(tga.width) + "x" + std::to_string(tga.height);
    }
    if (!IsBitDepth(tga.pixelBits)) return "unsupported pixel depth " + std::to_string(tga.pixelBits);
    const bool colourMapped = type == 1 || type == 9;
    if (tga.mapType > 1 || (tga.mapType == 1) != colourMapped) {
        return "unsupported colour map type " + std::to_string(tga.mapType) + " for TGA type " + std::to_string(type);
    }
    std::uint64_t mapBytes = 0;
    if (colourMapped) {
        // The decoder reads indices from the map's first stored entry: a map that starts
        // elsewhere, is empty, or has entries no index can reach would come out in wrong colours.
        const int indexRange = tga.pixelBits == 8 ? 256 : tga.pixelBits == 16 ? 65536 : 0;
        if (tga.mapFirst != 0 || tga.mapLength == 0 || tga.mapLength > indexRange || !IsBitDepth(tga.mapEntryBits)) {
            return "colour map out of range (entries " + std::to_string(tga.mapFirst) + "+" +
                   std::to_string(tga.mapLength) + " of " + std::to_string(tga.mapEntryBits) + " bits, " +
                   std::to_string(tga.pixelBits) + "-bit indices)";
        }
        mapBytes = tga.mapLength * BytesFor(tga.mapEntryBits);
    }
    const std::uint64_t pixelsAt = kHeaderSize + tga.idLength + mapBytes;
    const std::uint64_t pixels = static_cast<std::uint64_t>(tga.width) * tga.height;
    const bool runLength = type >= 9;
    const bool fits = runLength ? RunLengthDataFits(file, pixelsAt, BytesFor(tga.pixelBits), pixels)
                                : pixelsAt + pixels * BytesFor(tga.pixelBits) <= file.size();
    return fits ? std::string() : "truncated";
}

const char* FailureReason() {
    const char* reason = stbi_failure_reason();
    return reason != nullptr ? reason : "unknown";
}

// The pictures draw with additive blends, where black is what lets the picture behind show: a
// transparent pixel must come out black, a half-transparent one half as bright. A file whose
// every alpha is 0 has an unused channel rather than an invisible picture, and keeps its colours.
void MultiplyByAlpha(stbi_uc* rgba, std::size_t pixels) {
    bool anyAlpha = false;
    for (std::size_t i = 0; i < pixels && !anyAlpha; ++i) anyAlpha = rgba[i * 4 + 3] != 0;
    if (!anyAlpha) return;
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned alpha = rgba[i * 4 + 3];
        for (int channel = 0; channel < 3; ++channel)
            rgba[i * 4 + channel] = static_cast<stbi_uc>((rgba[i * 4 + channel] * alpha + 127) / 255);
    }
}

// RGBA rows from stb_image, top row first, into the image's RGB rows, bottom row first.
void TakeRows(const stbi_uc* rgba, int width, int height, Image& image) {
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (int row = 0; row < height; ++row) {
        const stbi_uc* from = rgba + static_cast<std::size_t>(height - 1 - row) * width * 4;
        std::uint8_t* to = image.rgb.data() + static_cast<std::size_t>(row) * width * 3;
        for (int x = 0; x < width; ++x) std::memcpy(to + x * 3, from + x * 4, 3);
    }
}

bool StartsWith(const std::vector<std::uint8_t>& file, const char* magic, std::size_t length, std::size_t at = 0) {
    return file.size() >= at + length && std::memcmp(file.data() + at, magic, length) == 0;
}

bool IsPng(const std::vector<std::uint8_t>& file) { return StartsWith(file, "\x89PNG\r\n\x1a\n", 8); }

// Formats a picture file is often saved in by mistake, told by their first bytes.
const char* OtherPictureFormat(const std::vector<std::uint8_t>& file) {
    if (StartsWith(file, "\xFF\xD8\xFF", 3)) return "JPEG";
    if (StartsWith(file, "GIF8", 4)) return "GIF";
    if (StartsWith(file, "BM", 2)) return "BMP";
    if (StartsWith(file, "RIFF", 4) && StartsWith(file, "WEBP", 4, 8)) return "WebP";
    if (StartsWith(file, "II*\0", 4) || StartsWith(file, "MM\0*", 4)) return "TIFF";
    if (StartsWith(file, "8BPS", 4)) return "Photoshop";
    return nullptr;
}

bool DecodePng(const std::vector<std::uint8_t>& file, Image& image, std::string& error) {
    if (file.size() > INT_MAX) {
        error = "too large";
        return false;
    }
    const int size = static_cast<int>(file.size());
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(file.data(), size, &width, &height, &components)) {
        error = std::string("damaged PNG data (") + FailureReason() + ")";
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
        error = "size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    stbi_uc* rgba = stbi_load_from_memory(file.data(), size, &width, &height, &components, 4);
    if (rgba == nullptr) {
        error = std::string("damaged PNG data (") + FailureReason() + ")";
        return false;
    }
    MultiplyByAlpha(rgba, static_cast<std::size_t>(width) * height);
    TakeRows(rgba, width, height, image);
    stbi_image_free(rgba);
    return true;
}

}  // namespace

bool DecodeTga(const std::vector<std::uint8_t>& file, Image& image, std::string& error) {
    if (file.size() < kHeaderSize) {
        error = "truncated";
        return false;
    }
    if (file.size() > INT_MAX) {
        error = "too large";
        return false;
    }
    const TgaHeader tga = ReadHeader(file.data());
    if (std::string problem = CheckHeader(tga, file); !problem.empty()) {
        error = problem;
        return false;
    }
    int width = 0, height = 0, components = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &components, 4);
    if (pixels == nullptr || width != tga.width || height != tga.height) {
        error = std::string("damaged TGA data (") + (pixels ? "size mismatch" : FailureReason()) + ")";
        stbi_image_free(pixels);
        return false;
    }
    // Alpha counts where the header says the pixels (or their colour map's entries) carry it.
    const bool colourMapped = tga.imageType == 1 || tga.imageType == 9;
    const int entryBits = colourMapped ? tga.mapEntryBits : tga.pixelBits;
    if (entryBits == 32 && (tga.descriptor & 0x0F) != 0) MultiplyByAlpha(pixels, static_cast<std::size_t>(width) * height);
    TakeRows(pixels, width, height, image);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    // The decoder honours the top/bottom origin bit only; a picture stored right to left is
    // turned here, or it would show mirrored.
    if (tga.descriptor & 0x10) {
        for (int row = 0; row < height; ++row) {
            std::uint8_t* line = image.rgb.data() + rowBytes * row;
            for (int left = 0, right = width - 1; left < right; ++left, --right)
                std::swap_ranges(line + left * 3, line + left * 3 + 3, line + right * 3);
        }
    }
    stbi_image_free(pixels);
    return true;
}

bool DecodePicture(const std::vector<std::uint8_t>& file, Image& image, std::string& error) {
    if (IsPng(file)) return DecodePng(file, image, error);
    if (const char* format = OtherPictureFormat(file)) {
        error = std::string("a ") + format + " picture; only TGA and PNG are read";
        return false;
    }
    return DecodeTga(file, image, error);
}

Image BlackImage() {
    Image image;
    image.width = 1;
    image.height = 1;
    image.rgb.assign(3, 0);
    return image;
}
