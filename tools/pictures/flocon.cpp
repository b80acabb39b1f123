// flocon.tga: one soft six-armed snowflake for the snow effect. The effect shows only the upper-left
// half of the picture (the triangle left of and above the diagonal from bottom-left to top-right),
// so the flake sits on that triangle's inscribed circle and nothing is drawn beyond it.
#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace {

constexpr int kSize = 64;
constexpr float kPi = 3.14159265f;

// Distance from point p to the segment a-b.
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    float dx = bx - ax, dy = by - ay;
    float k = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - k * dx, py - ay - k * dy);
}

Canvas DrawFlakePicture()
{
    Canvas canvas(kSize, kSize);
    // The inscribed circle of the right triangle with legs kSize, in top-down pixels.
    const float inradius = kSize * (2 - std::sqrt(2.0f)) / 2;
    const float centreX = inradius, centreY = inradius;
    const float armLength = inradius - 3.5f;

    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float nearest = 1e9f;
            for (int arm = 0; arm < 6; ++arm) {
                float angle = kPi / 2 + arm * kPi / 3;
                float ux = std::cos(angle), uy = -std::sin(angle);
                float tipX = centreX + ux * armLength, tipY = centreY + uy * armLength;
                nearest = std::min(nearest, SegmentDistance(px, py, centreX, centreY, tipX, tipY));
                // Two pairs of side branches, pointing outwards along the arm.
                for (float at : {0.45f, 0.72f}) {
                    float baseX = centreX + ux * armLength * at, baseY = centreY + uy * armLength * at;
                    float branch = armLength * (at < 0.5f ? 0.36f : 0.24f);
                    for (float side : {-1.0f, 1.0f}) {
                        float turn = angle + side * kPi / 3;
                        float endX = baseX + std::cos(turn) * branch, endY = baseY - std::sin(turn) * branch;
                        nearest = std::min(nearest, SegmentDistance(px, py, baseX, baseY, endX, endY));
                    }
                }
            }
            float fromCentre = std::hypot(px - centreX, py - centreY);
            float line = std::clamp(1.3f - nearest, 0.0f, 1.0f);
            float glow = 0.35f * std::exp(-nearest * nearest / 6.0f);
            float heart = 0.5f * std::exp(-fromCentre * fromCentre / 8.0f);
            float halo = 0.12f * std::exp(-fromCentre * fromCentre / 90.0f);
            float light = std::min(1.0f, line * 0.9f + glow + heart) + halo;
            // Fade to nothing before the diagonal and the picture's own edges.
            float inside = std::clamp((kSize - 1.5f - (px + py)) / 3.0f, 0.0f, 1.0f);
            inside *= std::clamp((inradius + 0.5f - fromCentre) / 2.0f + 0.5f, 0.0f, 1.0f);
            light *= inside;
            canvas.Set(x, y, Color{light * 0.88f, light * 0.94f, light});
        }
    return canvas;
}

}  // namespace

PICTURE("flocon.tga", DrawFlakePicture);
