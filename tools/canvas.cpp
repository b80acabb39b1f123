// The canvas, the font and the picture registry behind the archive's pictures.
#include "canvas.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

Canvas::Canvas(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {}

Color Canvas::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return Color{};
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Canvas::Set(int x, int y, Color color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = color;
}

void Canvas::Add(int x, int y, Color color, float amount) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Color& pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
    pixel.r += color.r * amount;
    pixel.g += color.g * amount;
    pixel.b += color.b * amount;
}

void Canvas::Mix(int x, int y, Color color, float amount) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Color& pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
    pixel.r += (color.r - pixel.r) * amount;
    pixel.g += (color.g - pixel.g) * amount;
    pixel.b += (color.b - pixel.b) * amount;
}

namespace {

// Written as "!(value > 0)" so that a NaN from a careless formula becomes black, not garbage.
std::uint8_t ToByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<std::uint8_t>(std::lround(value * 255.0f));
}

}  // namespace

std::vector<std::uint8_t> Canvas::ToTga() const {
    constexpr int kHeaderSize = 18;
    constexpr std::uint8_t kTrueColour = 2;
    std::vector<std::uint8_t> file(kHeaderSize, 0);
    file[2] = kTrueColour;
    file[12] = static_cast<std::uint8_t>(width_ & 0xff);
    file[13] = static_cast<std::uint8_t>((width_ >> 8) & 0xff);
    file[14] = static_cast<std::uint8_t>(height_ & 0xff);
    file[15] = static_cast<std::uint8_t>((height_ >> 8) & 0xff);
    file[16] = 24;
    file[17] = 0;  // descriptor: no alpha, origin bottom-left
    file.reserve(kHeaderSize + pixels_.size() * 3);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const Color& pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
            file.push_back(ToByte(pixel.b));
            file.push_back(ToByte(pixel.g));
            file.push_back(ToByte(pixel.r));
        }
    }
    return file;
}

// ---------------------------------------------------------------------------------------------
// Font

#ifndef TARNELVOIS_FONT_DIR
#define TARNELVOIS_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

struct Font::Data {
    std::vector<unsigned char> bytes;
    stbtt_fontinfo info;
};

namespace {

// UTF-8 to code points; a byte that does not start a valid sequence stands for itself (Latin-1),
// so text typed in either encoding comes out readable.
std::vector<int> CodePoints(const std::string& text) {
    std::vector<int> points;
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        int point = 0;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            point = lead & 0x1f;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            point = lead & 0x0f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            point = lead & 0x07;
        }
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80) valid = false;
            point = (point << 6) | (next & 0x3f);
        }
        if (valid) {
            points.push_back(point);
            i += length;
        } else {
            points.push_back(lead);
            i += 1;
        }
    }
    return points;
}

}  // namespace

Font::Font(const std::string& fileName) : data_(new Data) {
    const std::string path = std::string(TARNELVOIS_FONT_DIR) + "/" + fileName;
    std::ifstream in(path, std::ios::binary);
    if (in) data_->bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (data_->bytes.empty() ||
        stbtt_InitFont(&data_->info, data_->bytes.data(),
                       stbtt_GetFontOffsetForIndex(data_->bytes.data(), 0)) == 0) {
        std::fprintf(stderr, "make_archive: cannot read the font, is fonts-dejavu-core installed? (%s)\n",
                     path.c_str());
        std::exit(1);
    }
}

Font::~Font() { delete data_; }

float Font::TextWidth(const std::string& text, float pixelHeight) const {
    const float scale = stbtt_ScaleForPixelHeight(&data_->info, pixelHeight);
    const std::vector<int> points = CodePoints(text);
    float width = 0.0f;
    for (std::size_t i = 0; i < points.size(); ++i) {
        int advance = 0, leftBearing = 0;
        stbtt_GetCodepointHMetrics(&data_->info, points[i], &advance, &leftBearing);
        width += advance * scale;
        if (i + 1 < points.size())
            width += stbtt_GetCodepointKernAdvance(&data_->info, points[i], points[i + 1]) * scale;
    }
    return width;
}

std::vector<float> Font::Mask(const std::string& text, float pixelHeight, int width, int height,
                              float left, float baselineY) const {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<float> mask(static_cast<std::size_t>(width) * height, 0.0f);
    const float scale = stbtt_ScaleForPixelHeight(&data_->info, pixelHeight);
    const std::vector<int> points = CodePoints(text);
    const float baselineFloor = std::floor(baselineY);
    const float shiftY = baselineY - baselineFloor;
    std::vector<unsigned char> glyph;
    float penX = left;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const float penFloor = std::floor(penX);
        const float shiftX = penX - penFloor;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(&data_->info, points[i], scale, scale, shiftX, shiftY, &x0, &y0,
                                            &x1, &y1);
        const int glyphWidth = x1 - x0;
        const int glyphHeight = y1 - y0;
        if (glyphWidth > 0 && glyphHeight > 0) {
            glyph.assign(static_cast<std::size_t>(glyphWidth) * glyphHeight, 0);
            stbtt_MakeCodepointBitmapSubpixel(&data_->info, glyph.data(), glyphWidth, glyphHeight, glyphWidth,
                                              scale, scale, shiftX, shiftY, points[i]);
            const int originX = static_cast<int>(penFloor) + x0;
            const int originY = static_cast<int>(baselineFloor) + y0;
            for (int gy = 0; gy < glyphHeight; ++gy) {
                const int y = originY + gy;
                if (y < 0 || y >= height) continue;
                for (int gx = 0; gx < glyphWidth; ++gx) {
                    const int x = originX + gx;
                    if (x < 0 || x >= width) continue;
                    // Neighbouring glyphs may share an edge pixel: their coverage adds, up to full.
                    float& cell = mask[static_cast<std::size_t>(y) * width + x];
                    cell = std::min(1.0f, cell + glyph[static_cast<std::size_t>(gy) * glyphWidth + gx] / 255.0f);
                }
            }
        }
        int advance = 0, leftBearing = 0;
        stbtt_GetCodepointHMetrics(&data_->info, points[i], &advance, &leftBearing);
        penX += advance * scale;
        if (i + 1 < points.size())
            penX += stbtt_GetCodepointKernAdvance(&data_->info, points[i], points[i + 1]) * scale;
    }
    return mask;
}

void Font::DrawText(Canvas& canvas, const std::string& text, float x, float baselineY, float pixelHeight,
                    Color color) const {
    const int width = canvas.Width();
    const int height = canvas.Height();
    const std::vector<float> mask = Mask(text, pixelHeight, width, height, x, baselineY);
    for (int y = 0; y < height; ++y)
        for (int column = 0; column < width; ++column) {
            const float coverage = mask[static_cast<std::size_t>(y) * width + column];
            if (coverage > 0.0f) canvas.Add(column, y, color, coverage);
        }
}

void Font::DrawTextCentred(Canvas& canvas, const std::string& text, float centreX, float baselineY,
                           float pixelHeight, Color color) const {
    DrawText(canvas, text, centreX - TextWidth(text, pixelHeight) * 0.5f, baselineY, pixelHeight, color);
}

// ---------------------------------------------------------------------------------------------
// Blur

namespace {

// One box pass along a line of count values spaced stride apart; outside the mask counts as empty,
// so a glow fades out at the picture's edge instead of smearing the edge pixels.
void BoxLine(float* line, int count, int stride, int radius, std::vector<float>& scratch) {
    scratch.resize(count);
    for (int i = 0; i < count; ++i) scratch[i] = line[static_cast<std::size_t>(i) * stride];
    // A running sum in double: in float, what is added and later subtracted leaves a residue that
    // grows along a long line.
    const double norm = 1.0 / (2 * radius + 1);
    double sum = 0.0;
    for (int i = 0; i <= radius && i < count; ++i) sum += scratch[i];
    for (int i = 0; i < count; ++i) {
        line[static_cast<std::size_t>(i) * stride] = static_cast<float>(sum * norm);
        const int entering = i + radius + 1;
        const int leaving = i - radius;
        if (entering < count) sum += scratch[entering];
        if (leaving >= 0) sum -= scratch[leaving];
    }
}

}  // namespace

std::vector<float> BlurMask(const std::vector<float>& mask, int width, int height, int radius) {
    if (width < 0 || height < 0 || mask.size() != static_cast<std::size_t>(width) * height)
        throw std::invalid_argument("BlurMask: mask size does not match width x height");
    std::vector<float> result = mask;
    if (radius <= 0 || result.empty()) return result;
    std::vector<float> scratch;
    constexpr int kBoxPasses = 3;
    for (int pass = 0; pass < kBoxPasses; ++pass) {
        for (int y = 0; y < height; ++y)
            BoxLine(result.data() + static_cast<std::size_t>(y) * width, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x) BoxLine(result.data() + x, height, width, radius, scratch);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Registry

namespace {

// A function-local static: pictures register from static constructors in other files, whose order
// relative to this file is unspecified.
std::vector<RegisteredPicture>& Registry() {
    static std::vector<RegisteredPicture> pictures;
    return pictures;
}

}  // namespace

PictureRegistration::PictureRegistration(const char* name, PictureFunction draw) {
    Registry().push_back(RegisteredPicture{name, draw});
}

const std::vector<RegisteredPicture>& RegisteredPictures() {
    // Link order decides registration order; sorting makes the archive the same whatever it was.
    std::vector<RegisteredPicture>& pictures = Registry();
    std::stable_sort(pictures.begin(), pictures.end(),
                     [](const RegisteredPicture& a, const RegisteredPicture& b) { return a.name < b.name; });
    return pictures;
}

void AddMask(Canvas& canvas, const std::vector<float>& mask, Color color, float strength) {
    const int width = canvas.Width();
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < width; ++x)
            canvas.Add(x, y, color, mask[static_cast<std::size_t>(y) * width + x] * strength);
}

void AddGlow(Canvas& canvas, const std::vector<float>& mask, int radius, Color color, float strength) {
    AddMask(canvas, BlurMask(mask, canvas.Width(), canvas.Height(), radius), color, strength);
}
