#include "icon/icon.h"

#include <algorithm>
#include <cmath>

namespace {

struct Point {
    float x, y;
};

Color Blend(Color a, Color b, float k) { return {a.r + (b.r - a.r) * k, a.g + (b.g - a.g) * k, a.b + (b.b - a.b) * k}; }

// Inside a convex quad given in either winding.
bool Inside(const Point (&quad)[4], Point p)
{
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const Point a = quad[i], b = quad[(i + 1) % 4];
        const float side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        positive += side > 0;
        negative += side < 0;
    }
    return positive == 0 || negative == 0;
}

// How far across a face a point lies, 0 at 'from' to 1 at 'to' along their line.
float Across(Point from, Point to, Point p)
{
    const float dx = to.x - from.x, dy = to.y - from.y;
    return std::clamp(((p.x - from.x) * dx + (p.y - from.y) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
}

// A cube seen from above a corner, its three faces lit as chrome: the top mirrors the sky, the
// left the warm horizon, the right the dark ground. Unit coordinates, the cube's centre at 0.5.
bool CubeColour(Point p, Color& colour)
{
    const Point top{0.5f, 0.14f}, left{0.17f, 0.33f}, right{0.83f, 0.33f}, middle{0.5f, 0.52f};
    const Point bottomLeft{0.17f, 0.71f}, bottomRight{0.83f, 0.71f}, bottom{0.5f, 0.9f};
    const Point upper[4] = {top, right, middle, left};
    const Point leftFace[4] = {left, middle, bottom, bottomLeft};
    const Point rightFace[4] = {middle, right, bottomRight, bottom};
    if (Inside(upper, p)) {
        colour = Blend({0.85f, 0.92f, 1.0f}, {0.25f, 0.42f, 0.75f}, Across(top, middle, p));
    } else if (Inside(leftFace, p)) {
        colour = Blend({0.95f, 0.72f, 0.45f}, {0.35f, 0.25f, 0.22f}, Across(left, bottom, p));
    } else if (Inside(rightFace, p)) {
        colour = Blend({0.45f, 0.5f, 0.62f}, {0.08f, 0.09f, 0.14f}, Across(middle, bottomRight, p));
    } else {
        return false;
    }
    return true;
}

// A deep blue night, lighter towards the bottom, with a few fixed stars.
Color Sky(Point p)
{
    Color colour = Blend({0.02f, 0.03f, 0.10f}, {0.10f, 0.12f, 0.28f}, p.y);
    const Point stars[] = {{0.12f, 0.12f}, {0.86f, 0.1f}, {0.92f, 0.52f}, {0.07f, 0.56f}, {0.3f, 0.95f}, {0.75f, 0.93f}};
    for (const Point star : stars) {
        const float distance = std::hypot(p.x - star.x, p.y - star.y);
        colour = Blend(colour, {1, 1, 0.9f}, std::exp(-distance * distance / 0.0002f));
    }
    return colour;
}

}  // namespace

Canvas DrawIcon(int size)
{
    Canvas canvas(size, size);
    // Four by four samples a pixel keep the cube's edges smooth at 48 pixels too.
    constexpr int kSamples = 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Color sum;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Point p{(x + (sx + 0.5f) / kSamples) / size, (y + (sy + 0.5f) / kSamples) / size};
                    Color colour;
                    if (!CubeColour(p, colour)) colour = Sky(p);
                    sum = {sum.r + colour.r, sum.g + colour.g, sum.b + colour.b};
                }
            }
            constexpr float kShare = 1.0f / (kSamples * kSamples);
            canvas.Set(x, y, {sum.r * kShare, sum.g * kShare, sum.b * kShare});
        }
    }
    return canvas;
}
