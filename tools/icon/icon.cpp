#include "icon/icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Point {
    float x, y;
};

Color Blend(Color a, Color b, float k) { return {a.r + (b.r - a.r) * k, a.g + (b.g - a.g) * k, a.b + (b.b - a.b) * k}; }

// A face of the cube: a convex quad whose colour runs from 'near' at 'from' to 'far' at 'to'.
struct Face {
    Point corners[4];
    Point from, to;
    Color near, far;
};

// A cube seen from above a corner, its three faces lit as chrome: the top mirrors the sky, the
// left the warm horizon, the right the dark ground. Unit coordinates, the cube's centre at 0.5.
constexpr Point kTop{0.5f, 0.14f}, kLeft{0.17f, 0.33f}, kRight{0.83f, 0.33f}, kMiddle{0.5f, 0.52f};
constexpr Point kBottomLeft{0.17f, 0.71f}, kBottomRight{0.83f, 0.71f}, kBottom{0.5f, 0.9f};
const Face kFaces[] = {
    {{kTop, kRight, kMiddle, kLeft}, kTop, kMiddle, {0.85f, 0.92f, 1.0f}, {0.25f, 0.42f, 0.75f}},
    {{kLeft, kMiddle, kBottom, kBottomLeft}, kLeft, kBottom, {0.95f, 0.72f, 0.45f}, {0.35f, 0.25f, 0.22f}},
    {{kMiddle, kRight, kBottomRight, kBottom}, kMiddle, kBottomRight, {0.45f, 0.5f, 0.62f}, {0.08f, 0.09f, 0.14f}},
};

// A deep blue night, lighter towards the bottom, with a few fixed stars whose light falls off as
// exp(-distance^2 / kStarSpread).
constexpr Color kSkyTop{0.02f, 0.03f, 0.10f}, kSkyBottom{0.10f, 0.12f, 0.28f}, kStarLight{1, 1, 0.9f};
constexpr Point kStars[] = {{0.12f, 0.12f}, {0.86f, 0.1f}, {0.92f, 0.52f}, {0.07f, 0.56f}, {0.3f, 0.95f}, {0.75f, 0.93f}};
constexpr float kStarSpread = 0.0002f;
constexpr float kStarReach = 0.04f;  // where a star's light has fallen below 1/2000

// The tile the night is painted on fills the square but for its rounded corners.
constexpr float kCornerRadius = 0.18f;

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

bool OnTile(Point p)
{
    const float inner = 0.5f - kCornerRadius;
    const float dx = std::max(std::abs(p.x - 0.5f) - inner, 0.0f), dy = std::max(std::abs(p.y - 0.5f) - inner, 0.0f);
    return p.x >= 0 && p.x <= 1 && p.y >= 0 && p.y <= 1 && dx * dx + dy * dy <= kCornerRadius * kCornerRadius;
}

// How far across a face a point lies, 0 at 'from' to 1 at 'to' along their line.
float Across(Point from, Point to, Point p)
{
    const float dx = to.x - from.x, dy = to.y - from.y;
    return std::clamp(((p.x - from.x) * dx + (p.y - from.y) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
}

Color Colour(Point p)
{
    for (const Face& face : kFaces) {
        if (Inside(face.corners, p)) return Blend(face.near, face.far, Across(face.from, face.to, p));
    }
    Color colour = Blend(kSkyTop, kSkyBottom, p.y);
    for (const Point star : kStars) {
        const float distance = std::hypot(p.x - star.x, p.y - star.y);
        colour = Blend(colour, kStarLight, std::exp(-distance * distance / kStarSpread));
    }
    return colour;
}

unsigned char Byte(float channel) { return static_cast<unsigned char>(std::clamp(channel, 0.0f, 1.0f) * 255 + 0.5f); }

std::string Hex(Color c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", Byte(c.r), Byte(c.g), Byte(c.b));
    return text;
}

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

std::string Units(Point p) { return Number(p.x * 256) + "," + Number(p.y * 256); }

}  // namespace

Icon DrawIcon(int size)
{
    Icon icon{Canvas(size, size), std::vector<float>(std::size_t(size) * size, 0.0f)};
    // Four by four samples a pixel keep the cube's and the tile's edges smooth at 16 pixels too.
    constexpr int kSamples = 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Color sum;
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Point p{(x + (sx + 0.5f) / kSamples) / size, (y + (sy + 0.5f) / kSamples) / size};
                    if (!OnTile(p)) continue;
                    const Color colour = Colour(p);
                    sum = {sum.r + colour.r, sum.g + colour.g, sum.b + colour.b};
                    ++covered;
                }
            }
            if (covered == 0) continue;
            const float share = 1.0f / covered;
            icon.colour.Set(x, y, {sum.r * share, sum.g * share, sum.b * share});
            icon.alpha[std::size_t(y) * size + x] = float(covered) / (kSamples * kSamples);
        }
    }
    return icon;
}

std::vector<unsigned char> IconRgba(const Icon& icon)
{
    const int width = icon.colour.Width(), height = icon.colour.Height();
    std::vector<unsigned char> rgba;
    rgba.reserve(std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color c = icon.colour.Get(x, y);
            for (float channel : {c.r, c.g, c.b, icon.alpha[std::size_t(y) * width + x]}) rgba.push_back(Byte(channel));
        }
    }
    return rgba;
}

std::string IconSvg()
{
    std::string defs, shapes;
    defs += "<linearGradient id=\"sky\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"256\">"
            "<stop offset=\"0\" stop-color=\"" + Hex(kSkyTop) + "\"/><stop offset=\"1\" stop-color=\"" +
            Hex(kSkyBottom) + "\"/></linearGradient>\n";
    // A star's light as a radial gradient of its opacity, sampled from the raster's falloff.
    defs += "<radialGradient id=\"star\">";
    for (int i = 0; i <= 4; ++i) {
        const float offset = i / 4.0f, distance = offset * kStarReach;
        defs += "<stop offset=\"" + Number(offset) + "\" stop-color=\"" + Hex(kStarLight) + "\" stop-opacity=\"" +
                Number(std::exp(-distance * distance / kStarSpread)) + "\"/>";
    }
    defs += "</radialGradient>\n";
    shapes += "<rect width=\"256\" height=\"256\" rx=\"" + Number(kCornerRadius * 256) + "\" fill=\"url(#sky)\"/>\n";
    for (const Point star : kStars) {
        shapes += "<circle cx=\"" + Number(star.x * 256) + "\" cy=\"" + Number(star.y * 256) + "\" r=\"" +
                  Number(kStarReach * 256) + "\" fill=\"url(#star)\"/>\n";
    }
    int index = 0;
    for (const Face& face : kFaces) {
        const std::string id = "face" + std::to_string(index++);
        defs += "<linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"" + Number(face.from.x * 256) +
                "\" y1=\"" + Number(face.from.y * 256) + "\" x2=\"" + Number(face.to.x * 256) + "\" y2=\"" +
                Number(face.to.y * 256) + "\"><stop offset=\"0\" stop-color=\"" + Hex(face.near) +
                "\"/><stop offset=\"1\" stop-color=\"" + Hex(face.far) + "\"/></linearGradient>\n";
        shapes += "<polygon points=\"";
        for (const Point corner : face.corners) shapes += Units(corner) + (&corner == &face.corners[3] ? "" : " ");
        shapes += "\" fill=\"url(#" + id + ")\"/>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
           "<defs>\n" + defs + "</defs>\n" + shapes + "</svg>\n";
}
