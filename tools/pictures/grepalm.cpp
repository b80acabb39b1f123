// grepalm.tga: grey-green palm fronds on a dark leafy ground, the cubes' base picture when the host
// cannot add textures. Each frond is a curved midrib with tapering leaflets on both sides; fronds
// wrap round the edges so the picture repeats without a seam.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "canvas.h"

namespace {

constexpr int kSize = 256;
constexpr float kPi = 3.14159265f;

// A small fixed sequence of numbers in 0..1, so the fronds are the same on every build.
class Variation {
public:
    explicit Variation(std::uint32_t seed) : state_(seed) {}
    float Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / 16777216.0f;
    }

private:
    std::uint32_t state_;
};

int Wrap(int value) { return ((value % kSize) + kSize) % kSize; }

// Mixes a soft-edged disc into the canvas, wrapping round all four edges.
void Stamp(Canvas& canvas, float centreX, float centreY, float radius, Color colour, float strength)
{
    int reach = static_cast<int>(std::ceil(radius + 1));
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            int x = static_cast<int>(std::floor(centreX)) + dx;
            int y = static_cast<int>(std::floor(centreY)) + dy;
            float distance = std::hypot(x + 0.5f - centreX, y + 0.5f - centreY);
            float coverage = std::clamp(radius + 0.5f - distance, 0.0f, 1.0f);
            if (coverage > 0) canvas.Mix(Wrap(x), Wrap(y), colour, coverage * strength);
        }
}

// A blade from (x, y) along angle, widest near its base and pointed at its tip, lighter outwards.
void Leaflet(Canvas& canvas, float x, float y, float angle, float length, float width, Color base, Color tip)
{
    for (float along = 0; along <= length; along += 0.5f) {
        float k = along / length;
        float half = width * std::sin(kPi * std::min(1.0f, 0.15f + k)) * (1 - k * 0.8f);
        float px = x + std::cos(angle) * along, py = y + std::sin(angle) * along;
        // A shadow first, a little down and right, so leaflets lying over others stand out.
        Stamp(canvas, px + 1.2f, py + 1.6f, half, Color{0.05f, 0.07f, 0.05f}, 0.35f);
        Color colour{base.r + (tip.r - base.r) * k, base.g + (tip.g - base.g) * k, base.b + (tip.b - base.b) * k};
        Stamp(canvas, px, py, half, colour, 1.0f);
    }
}

void Frond(Canvas& canvas, Variation& variation, float startX, float startY, float heading, float length)
{
    float bend = (variation.Next() - 0.5f) * 1.2f;
    const int steps = 26;
    float x = startX, y = startY;
    for (int step = 0; step < steps; ++step) {
        float k = step / float(steps);
        float direction = heading + bend * k;
        float shade = 0.85f + 0.3f * variation.Next();
        Color base{0.36f * shade, 0.46f * shade, 0.36f * shade};
        Color tip{0.62f * shade, 0.70f * shade, 0.58f * shade};
        float leafLength = length * 0.42f * (1 - 0.75f * k);
        float leafWidth = 2.6f * (1 - 0.5f * k);
        float spread = 0.75f + 0.25f * variation.Next();
        Leaflet(canvas, x, y, direction + spread, leafLength, leafWidth, base, tip);
        Leaflet(canvas, x, y, direction - spread, leafLength, leafWidth, base, tip);
        float stride = length / steps;
        for (float s = 0; s < stride; s += 0.5f)
            Stamp(canvas, x + std::cos(direction) * s, y + std::sin(direction) * s, 1.3f * (1 - 0.6f * k),
                  Color{0.72f, 0.76f, 0.64f}, 1.0f);
        x += std::cos(direction) * stride;
        y += std::sin(direction) * stride;
    }
}

Canvas DrawPalmPicture()
{
    Canvas canvas(kSize, kSize);
    Variation variation(20250601u);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float mottle = 0.03f * std::sin(x * 2 * kPi / kSize * 3) * std::sin(y * 2 * kPi / kSize * 2);
            float grain = 0.025f * (variation.Next() - 0.5f);
            float level = 0.16f + mottle + grain;
            canvas.Set(x, y, Color{level * 0.95f, level * 1.15f, level * 0.95f});
        }
    const float fronds[][4] = {
        {20, 230, -1.05f, 190}, {150, 250, -1.9f, 170}, {250, 120, 3.3f, 160},
        {90, 40, 0.6f, 150},    {200, 20, 2.2f, 140},   {40, 120, -0.2f, 130},
    };
    for (const auto& frond : fronds) Frond(canvas, variation, frond[0], frond[1], frond[2], frond[3]);
    return canvas;
}

}  // namespace

PICTURE("grepalm.tga", DrawPalmPicture);
