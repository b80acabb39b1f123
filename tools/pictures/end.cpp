// The closing picture: "TarnelVois" in glowing serif capitals between two golden flourishes, a
// snowflake-like star above, and "goodnight" below (the greetings before it have already said
// thank you). Black is see-through.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"

namespace {

constexpr int kSize = 512;
constexpr float kPi = 3.14159265f;

const Color kGold{1.0f, 0.8f, 0.45f};
const Color kIce{0.6f, 0.8f, 1.0f};

// Coverage of a line segment of the given half-width, anti-aliased over about one pixel.
float SegmentCoverage(float px, float py, float ax, float ay, float bx, float by, float halfWidth)
{
    float dx = bx - ax, dy = by - ay;
    float along = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    float ex = px - (ax + along * dx), ey = py - (ay + along * dy);
    return std::clamp(halfWidth + 0.5f - std::sqrt(ex * ex + ey * ey), 0.0f, 1.0f);
}

// Coverage of a diamond, flatter than it is wide, around the origin.
float Diamond(float dx, float dy, float halfWidth)
{
    return std::clamp(halfWidth - (std::fabs(dx) + std::fabs(dy) * 1.6f), 0.0f, 1.0f);
}

// A rule that thins and fades towards both ends, with diamonds along it and a dot at each end.
void DrawFlourish(std::vector<float>& mask, float centreY, float halfLength)
{
    const float centreX = kSize / 2.0f;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float offset = std::fabs(px - centreX);
            float amount = 0;
            if (offset < halfLength) {
                float taper = 1.0f - offset / halfLength;
                amount = SegmentCoverage(px, py, centreX - halfLength, centreY, centreX + halfLength, centreY,
                                         0.2f + 1.1f * taper) * (0.35f + 0.65f * taper);
            }
            // A diamond at the centre, smaller ones on the way out, a dot at each end.
            amount = std::max(amount, Diamond(px - centreX, py - centreY, 9.0f));
            for (float side : {-1.0f, 1.0f}) {
                amount = std::max(amount, 0.85f * Diamond(px - centreX - side * halfLength * 0.55f, py - centreY, 4.5f));
                float endX = px - centreX - side * halfLength, endY = py - centreY;
                amount = std::max(amount, 0.7f * std::clamp(2.6f - std::sqrt(endX * endX + endY * endY), 0.0f, 1.0f));
            }
            float& cell = mask[y * kSize + x];
            cell = std::max(cell, amount);
        }
}

// A six-armed star with side branches, like a snowflake seen from afar.
void DrawFlake(std::vector<float>& mask, float centreX, float centreY, float armLength)
{
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            if (std::fabs(px - centreX) > armLength + 3 || std::fabs(py - centreY) > armLength + 3) continue;
            float amount = 0;
            for (int arm = 0; arm < 6; ++arm) {
                float angle = arm * kPi / 3.0f - kPi / 2.0f;
                float ax = std::cos(angle), ay = std::sin(angle);
                float tipX = centreX + ax * armLength, tipY = centreY + ay * armLength;
                amount = std::max(amount, SegmentCoverage(px, py, centreX, centreY, tipX, tipY, 0.9f));
                for (float branch : {-1.0f, 1.0f}) {
                    float baseX = centreX + ax * armLength * 0.55f, baseY = centreY + ay * armLength * 0.55f;
                    float branchAngle = angle + branch * kPi / 4.0f;
                    amount = std::max(amount, SegmentCoverage(px, py, baseX, baseY,
                                                              baseX + std::cos(branchAngle) * armLength * 0.3f,
                                                              baseY + std::sin(branchAngle) * armLength * 0.3f, 0.7f));
                }
            }
            float& cell = mask[y * kSize + x];
            cell = std::max(cell, amount);
        }
}

Canvas DrawEnd()
{
    Canvas canvas(kSize, kSize);

    std::vector<float> ornament(kSize * kSize, 0.0f);
    DrawFlourish(ornament, 196.0f, 180.0f);
    DrawFlourish(ornament, 322.0f, 150.0f);
    AddGlow(canvas, ornament, 4, kGold, 0.8f);
    AddMask(canvas, ornament, kGold);

    std::vector<float> flake(kSize * kSize, 0.0f);
    DrawFlake(flake, 256.0f, 118.0f, 34.0f);
    AddGlow(canvas, flake, 8, kIce, 1.4f);
    AddMask(canvas, flake, Color{0.9f, 0.95f, 1.0f});

    const Font serifBold("DejaVuSerif-Bold.ttf");
    const std::string title = "TarnelVois";
    float height = 64.0f * 440.0f / serifBold.TextWidth(title, 64.0f);
    std::vector<float> letters =
        serifBold.Mask(title, height, kSize, kSize, (kSize - serifBold.TextWidth(title, height)) / 2.0f, 282.0f);
    AddGlow(canvas, letters, 14, Color{0.3f, 0.45f, 1.0f}, 1.2f);
    AddGlow(canvas, letters, 4, kIce, 0.8f);
    AddMask(canvas, letters, Color{1.0f, 0.98f, 0.94f});

    const Font serif("DejaVuSerif.ttf");
    serif.DrawTextCentred(canvas, "goodnight", kSize / 2.0f, 380.0f, 32.0f, Color{0.95f, 0.88f, 0.75f});
    return canvas;
}

}  // namespace

PICTURE("End.tga", DrawEnd);
