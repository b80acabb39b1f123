// What the archive's pictures are drawn on: a float RGB canvas, text from a TrueType font, and the
// TGA file it becomes. Every picture is a function of nothing, so the archive is the same on every
// build.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Color {
    float r = 0, g = 0, b = 0;
};

class Canvas {
public:
    Canvas(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Row 0 is the top row as seen. Coordinates outside the canvas are ignored by the writers.
    Color Get(int x, int y) const;
    void Set(int x, int y, Color color);
    // Adds color * amount (light accumulates; values are clamped only when written out).
    void Add(int x, int y, Color color, float amount = 1.0f);
    // Mixes towards color by amount (0 keeps the pixel, 1 replaces it).
    void Mix(int x, int y, Color color, float amount);

    // 24-bit uncompressed TGA, bottom-left origin, channels clamped to [0, 1] and rounded.
    std::vector<std::uint8_t> ToTga() const;

private:
    int width_, height_;
    std::vector<Color> pixels_;
};

// A TrueType font from the system's DejaVu set (fonts-dejavu-core), anti-aliased.
class Font {
public:
    // fileName such as "DejaVuSans-Bold.ttf"; looked up in the DejaVu font folder. Exits the
    // generator with a message when the font cannot be read: the archive cannot be made without it.
    explicit Font(const std::string& fileName);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Width in pixels of a line of text at the given pixel height.
    float TextWidth(const std::string& text, float pixelHeight) const;
    // Coverage mask of a line of text (0..1 per pixel, width x height, row 0 on top), its baseline
    // at baselineY. Used by DrawText and by effects that want a glow around the letters.
    std::vector<float> Mask(const std::string& text, float pixelHeight, int width, int height,
                            float left, float baselineY) const;
    // Adds the text to the canvas in a colour: left edge at x, baseline at y (top-down pixels).
    void DrawText(Canvas& canvas, const std::string& text, float x, float baselineY, float pixelHeight,
                  Color color) const;
    // The same, centred horizontally on centreX.
    void DrawTextCentred(Canvas& canvas, const std::string& text, float centreX, float baselineY,
                         float pixelHeight, Color color) const;

private:
    struct Data;
    Data* data_;
};

// Separable blur of a mask (box blur run three times, close to a Gaussian); radius in pixels.
std::vector<float> BlurMask(const std::vector<float>& mask, int width, int height, int radius);

// Adds a mask covering the whole canvas (one value per pixel, row by row) in the colour, scaled by strength.
void AddMask(Canvas& canvas, const std::vector<float>& mask, Color color, float strength = 1.0f);
// Adds a blurred copy of such a mask underneath: the glow round letters and rims.
void AddGlow(Canvas& canvas, const std::vector<float>& mask, int radius, Color color, float strength);

// Pictures register themselves under their archive name ("Line.tga"); the generator packs each
// under "demotex/".
using PictureFunction = Canvas (*)();
struct PictureRegistration {
    PictureRegistration(const char* name, PictureFunction draw);
};
struct RegisteredPicture {
    std::string name;
    PictureFunction draw;
};
const std::vector<RegisteredPicture>& RegisteredPictures();

#define TARNELVOIS_PICTURE_JOIN2(a, b) a##b
#define TARNELVOIS_PICTURE_JOIN(a, b) TARNELVOIS_PICTURE_JOIN2(a, b)
// Usage at file scope: PICTURE("Line.tga", DrawLinePicture);
#define PICTURE(name, function) \
    static const PictureRegistration TARNELVOIS_PICTURE_JOIN(pictureRegistration, __LINE__)(name, function)
