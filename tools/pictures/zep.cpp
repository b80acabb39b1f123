// The airship: a silver, ribbed hull lit by the moon from the upper left, nose to the left (it
// travels that way), red tail fins, a gondola with lit windows, an engine pod, and a faint searchlight, the demo's
// name painted along its side. The night sky around it is black, so only the ship shows.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"

namespace {

constexpr int kSize = 512;
// Each pixel is the mean of kSamples x kSamples shading samples: smooth outlines without a
// separate coverage pass.
constexpr int kSamples = 4;
constexpr float kPi = 3.14159265f;

// The hull, a body of revolution along a horizontal axis (pixels, rows counted from the top).
constexpr float kNoseX = 22.0f;
constexpr float kTailX = 470.0f;
constexpr float kAxisY = 236.0f;
constexpr float kHullRadius = 84.0f;
// Where along the hull (0 nose, 1 tail) it is thickest.
constexpr float kWidestAt = 0.36f;

struct Vector {
    float x, y, z;
};

Vector Normalised(Vector v)
{
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return Vector{v.x / length, v.y / length, v.z / length};
}

float Dot(Vector a, Vector b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Color Scaled(Color c, float amount) { return Color{c.r * amount, c.g * amount, c.b * amount}; }
Color Sum(Color a, Color b) { return Color{a.r + b.r, a.g + b.g, a.b + b.b}; }

// Light from the moon, up and to the left, slightly in front; and a cold rim light from behind.
const Vector kMoon = Normalised(Vector{-0.45f, -0.7f, 0.55f});
const Color kMoonLight{1.0f, 0.97f, 0.9f};
const Color kSkyLight{0.3f, 0.34f, 0.46f};
const Color kRimLight{0.45f, 0.6f, 1.0f};

// Radius of the hull at a fraction of its length: a blunt, round nose and a long taper to a point.
float HullRadiusAt(float along)
{
    if (along <= 0.0f || along >= 1.0f) return 0.0f;
    if (along < kWidestAt) {
        float u = (kWidestAt - along) / kWidestAt;
        return kHullRadius * std::sqrt(1.0f - u * u);
    }
    float u = (along - kWidestAt) / (1.0f - kWidestAt);
    return kHullRadius * std::pow(1.0f - std::pow(u, 2.2f), 0.75f);
}

float AlongHull(float x) { return (x - kNoseX) / (kTailX - kNoseX); }

// Lambert light, sky fill and a rim at grazing angles, for a surface normal facing the viewer (+z).
Color Lit(Color paint, Vector normal, float shininess)
{
    float diffuse = std::max(0.0f, Dot(normal, kMoon));
    Color light = Sum(Scaled(kMoonLight, diffuse), kSkyLight);
    Color result{paint.r * light.r, paint.g * light.g, paint.b * light.b};
    // Blinn highlight towards a viewer straight in front.
    Vector half = Normalised(Vector{kMoon.x, kMoon.y, kMoon.z + 1.0f});
    float specular = std::pow(std::max(0.0f, Dot(normal, half)), 40.0f) * shininess;
    result = Sum(result, Scaled(kMoonLight, specular));
    float rim = std::pow(1.0f - std::max(0.0f, normal.z), 3.0f) * std::max(0.0f, -normal.x * 0.3f + normal.y * 0.7f + 0.3f);
    return Sum(result, Scaled(kRimLight, rim * 0.6f));
}

// What covers one sample point, painted and lit; covered is false where the sky shows through.
struct Sample {
    bool covered = false;
    Color color;
};

// Signed distance from a point to the inside of a convex polygon given clockwise in screen rows,
// negative inside.
float PolygonDistance(float x, float y, const std::vector<Vector>& corners)
{
    float outside = -1e9f;
    for (size_t i = 0; i < corners.size(); ++i) {
        Vector a = corners[i], b = corners[(i + 1) % corners.size()];
        float ex = b.x - a.x, ey = b.y - a.y;
        float length = std::sqrt(ex * ex + ey * ey);
        // Outward normal of a clockwise edge (rows grow downwards).
        float distance = ((x - a.x) * ey - (y - a.y) * ex) / length;
        outside = std::max(outside, distance);
    }
    return outside;
}

// The tail fins stand out above and below the hull's end; the one facing us is flat and lit evenly.
Sample Fins(float x, float y)
{
    static const std::vector<Vector> upper = {{360, 236, 0}, {436, 152, 0}, {464, 152, 0}, {478, 236, 0}};
    static const std::vector<Vector> lower = {{360, 236, 0}, {478, 236, 0}, {464, 320, 0}, {436, 320, 0}};
    static const std::vector<Vector> side = {{400, 236, 0}, {450, 229, 0}, {482, 231, 0}, {482, 241, 0}, {450, 243, 0}};
    Sample sample;
    for (const std::vector<Vector>* fin : {&upper, &lower, &side}) {
        if (PolygonDistance(x, y, *fin) > 0) continue;
        sample.covered = true;
        Color paint{0.78f, 0.12f, 0.1f};
        // A white band across each fin, near its trailing edge.
        if (x > 440 && x < 452) paint = Color{0.92f, 0.9f, 0.86f};
        Vector normal = fin == &side ? Normalised(Vector{0.0f, -0.6f, 1.0f}) : Normalised(Vector{0.15f, 0.0f, 1.0f});
        sample.color = Lit(paint, normal, 0.2f);
    }
    return sample;
}

Sample Hull(float x, float y, const std::vector<float>& lettering)
{
    Sample sample;
    float along = AlongHull(x);
    float radius = HullRadiusAt(along);
    float height = y - kAxisY;
    if (radius <= 0 || std::fabs(height) >= radius) return sample;
    sample.covered = true;

    // The surface of a body of revolution: round across, tilted along by the slope of the profile.
    float across = height / radius;
    float facing = std::sqrt(1.0f - across * across);
    float step = 0.002f;
    float slope = (HullRadiusAt(along + step) - HullRadiusAt(along - step)) / (2 * step * (kTailX - kNoseX));
    Vector normal = Normalised(Vector{-slope, across, facing});

    Color paint{0.95f, 0.94f, 0.9f};
    // Girders: rings along the hull and seams along it, as faint darker lines.
    float ring = std::fabs(std::fmod(along * 17.0f, 1.0f) - 0.5f);
    float angle = std::asin(across);
    float seam = std::fabs(std::fmod((angle + kPi) * 12.0f / kPi, 1.0f) - 0.5f);
    float line = std::max(std::clamp((ring - 0.47f) * 40.0f, 0.0f, 1.0f), std::clamp((seam - 0.44f) * 20.0f, 0.0f, 1.0f));
    paint = Scaled(paint, 1.0f - 0.28f * line);
    // A red cap on the nose.
    if (along < 0.045f) paint = Color{0.7f, 0.14f, 0.12f};
    // The name, painted on in a bright red: a dark paint would let the layers below show through.
    int column = std::clamp(int(x), 0, kSize - 1), row = std::clamp(int(y), 0, kSize - 1);
    float ink = lettering[row * kSize + column];
    paint = Color{paint.r + (0.95f - paint.r) * ink, paint.g + (0.16f - paint.g) * ink, paint.b + (0.14f - paint.b) * ink};

    sample.color = Lit(paint, normal, 0.5f);
    return sample;
}

// The gondola under the front third: a rounded cabin with a row of warm windows.
Sample Gondola(float x, float y)
{
    Sample sample;
    const float left = 150, right = 238, top = 312, bottom = 344;
    float cx = std::clamp(x, left + 14, right - 14), cy = std::clamp(y, top + 14, bottom - 14);
    float corner = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    if (corner > 14) return sample;
    sample.covered = true;
    float down = (y - (top + bottom) / 2) / ((bottom - top) / 2);
    Vector normal = Normalised(Vector{(x - (left + right) / 2) / 140.0f, down * 0.8f, 1.0f});
    sample.color = Lit(Color{0.6f, 0.4f, 0.25f}, normal, 0.3f);
    // Windows: small rectangles that glow on their own.
    float windowX = std::fmod(x - left - 8, 14.0f);
    if (x > left + 10 && x < right - 10 && windowX > 0 && windowX < 8 && y > 321 && y < 332)
        sample.color = Color{1.0f, 0.82f, 0.42f};
    return sample;
}

// Struts from the hull down to the engine pods.
Sample Struts(float x, float y)
{
    Sample sample;
    static const float struts[][4] = {{304, 300, 310, 328}, {334, 296, 328, 328}};
    for (const auto& strut : struts) {
        float t = std::clamp((y - strut[1]) / (strut[3] - strut[1]), 0.0f, 1.0f);
        float cx = strut[0] + (strut[2] - strut[0]) * t;
        if (y >= strut[1] - 20 && y <= strut[3] && std::fabs(x - cx) < 1.6f) {
            sample.covered = true;
            sample.color = Color{0.35f, 0.35f, 0.38f};
        }
    }
    return sample;
}

// The engine pod: a small shaded capsule with a spinning propeller seen as a pale disc behind it.
Sample EnginePod(float x, float y, float centreX, float centreY)
{
    Sample sample;
    float dx = (x - centreX) / 20.0f, dy = (y - centreY) / 8.0f;
    float inside = dx * dx + dy * dy;
    if (inside < 1.0f) {
        sample.covered = true;
        Vector normal = Normalised(Vector{dx * 0.4f, dy, std::sqrt(1.0f - inside)});
        sample.color = Lit(Color{0.62f, 0.6f, 0.58f}, normal, 0.6f);
        return sample;
    }
    float px = (x - (centreX + 21.0f)) / 2.0f, py = (y - centreY) / 15.0f;
    float blade = px * px + py * py;
    if (blade < 1.0f) {
        sample.covered = true;
        sample.color = Scaled(Color{0.55f, 0.6f, 0.7f}, 0.35f + 0.3f * (1.0f - blade));
    }
    return sample;
}

// Front to back: gondola and pods hang in front of the hull's lower side, the fins sit behind it.
Color Shade(float x, float y, const std::vector<float>& lettering)
{
    for (Sample sample : {Gondola(x, y), EnginePod(x, y, 318, 334)})
        if (sample.covered) return sample.color;
    Sample hull = Hull(x, y, lettering);
    if (hull.covered) return hull.color;
    for (Sample sample : {Struts(x, y), Fins(x, y)})
        if (sample.covered) return sample.color;
    return Color{};
}

// A faint beam from the gondola's nose down to the left, gone before the picture's edge.
float Searchlight(float x, float y)
{
    const float sourceX = 160, sourceY = 340;
    const float directionX = -0.5f, directionY = 0.866f;
    float dx = x - sourceX, dy = y - sourceY;
    float along = dx * directionX + dy * directionY;
    if (along <= 0) return 0;
    float across = std::fabs(dx * directionY - dy * directionX);
    float spread = 4.0f + along * 0.22f;
    float edge = std::clamp(1.0f - across / spread, 0.0f, 1.0f);
    float fade = std::exp(-along / 70.0f) * std::clamp((150.0f - along) / 40.0f, 0.0f, 1.0f);
    return edge * edge * fade * 0.45f;
}

// The name is drawn once as a mask and bent to follow the hull's curve when painted.
std::vector<float> Lettering()
{
    const Font font("DejaVuSans-Bold.ttf");
    const std::string name = "TARNELVOIS";
    const float height = 30.0f;
    float width = font.TextWidth(name, height);
    std::vector<float> flat = font.Mask(name, height, kSize, kSize, 190.0f - width / 2.0f + 40.0f, kAxisY + 11.0f);
    // Letters further from the middle of the hull are squeezed towards its axis, as on a cylinder.
    std::vector<float> bent(kSize * kSize, 0.0f);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float radius = HullRadiusAt(AlongHull(x + 0.5f));
            if (radius <= 0) continue;
            float across = (y + 0.5f - kAxisY) / radius;
            if (std::fabs(across) >= 1.0f) continue;
            float sourceY = kAxisY + std::asin(across) * radius * 0.95f;
            int row = int(std::lround(sourceY));
            if (row >= 0 && row < kSize) bent[y * kSize + x] = flat[row * kSize + x];
        }
    return bent;
}

Canvas DrawZep()
{
    Canvas canvas(kSize, kSize);
    std::vector<float> lettering = Lettering();
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            Color sum;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    sum = Sum(sum, Shade(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples, lettering));
            canvas.Set(x, y, Scaled(sum, 1.0f / (kSamples * kSamples)));
            canvas.Add(x, y, Color{1.0f, 0.9f, 0.7f}, Searchlight(x + 0.5f, y + 0.5f));
        }
    return canvas;
}

}  // namespace

PICTURE("Zep.tga", DrawZep);
