// The makers' splash: an eclipsed sun with a warm corona over "KorbaPlunte" in glowing letters, a
// thin light streak through the name, and "presents" spaced out below. Black is see-through.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"

namespace {

constexpr int kSize = 512;

// The emblem: a dark disc ringed by a bright rim, its corona fading outwards, lit more at the top.
void DrawEclipse(Canvas& canvas, float centreX, float centreY, float radius)
{
    const Color rim{1.0f, 0.93f, 0.78f};
    const Color corona{1.0f, 0.55f, 0.2f};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float dx = x + 0.5f - centreX, dy = y + 0.5f - centreY;
            float distance = std::sqrt(dx * dx + dy * dy);
            float beyond = distance - radius;
            float ring = std::max(0.0f, 1.0f - std::fabs(beyond) / 1.6f);
            canvas.Add(x, y, rim, ring);
            if (beyond > 0) {
                // Brighter towards the upper right, where the sun is about to come out.
                float side = 0.75f + 0.25f * (dx - dy) / (distance * 1.4142f);
                canvas.Add(x, y, corona, side * 0.85f * std::exp(-beyond / 14.0f));
                canvas.Add(x, y, corona, side * 0.25f * std::exp(-beyond / 45.0f));
            }
        }
    // The diamond where the rim is brightest.
    float angle = -0.785f;
    float spotX = centreX + radius * std::cos(angle), spotY = centreY + radius * std::sin(angle);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float dx = x + 0.5f - spotX, dy = y + 0.5f - spotY;
            float distance = std::sqrt(dx * dx + dy * dy);
            canvas.Add(x, y, rim, 1.2f * std::exp(-distance / 5.0f));
            // Four thin rays: the star of a lens.
            float rays = std::exp(-std::fabs(dx) / 1.2f) * std::exp(-std::fabs(dy) / 40.0f) +
                         std::exp(-std::fabs(dy) / 1.2f) * std::exp(-std::fabs(dx) / 40.0f);
            canvas.Add(x, y, rim, 0.7f * rays);
        }
}

// A horizontal streak of light, thin and brightest in the middle.
void DrawStreak(Canvas& canvas, float centreY, Color color)
{
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float across = (y + 0.5f - centreY) / 1.3f;
            float along = (x + 0.5f - kSize / 2.0f) / (kSize * 0.32f);
            float amount = std::exp(-across * across) * std::exp(-along * along);
            canvas.Add(x, y, color, amount * 0.9f);
        }
}

// Letters spaced apart, the line centred.
void DrawTracked(Canvas& canvas, const Font& font, const std::string& text, float baseline, float height,
                 float tracking, Color color)
{
    float total = 0;
    for (char letter : text) total += font.TextWidth(std::string(1, letter), height) + tracking;
    total -= tracking;
    float x = (kSize - total) / 2.0f;
    for (char letter : text) {
        std::string one(1, letter);
        font.DrawText(canvas, one, x, baseline, height, color);
        x += font.TextWidth(one, height) + tracking;
    }
}

Canvas DrawSplash()
{
    Canvas canvas(kSize, kSize);
    DrawEclipse(canvas, 256.0f, 150.0f, 58.0f);

    const Font bold("DejaVuSans-Bold.ttf");
    const std::string name = "KorbaPlunte";
    // As large as fits with a margin for the glow.
    float height = 66.0f * 462.0f / bold.TextWidth(name, 66.0f);
    float left = (kSize - bold.TextWidth(name, height)) / 2.0f;
    const float baseline = 318.0f;
    std::vector<float> letters = bold.Mask(name, height, kSize, kSize, left, baseline);

    AddGlow(canvas, letters, 16, Color{1.0f, 0.32f, 0.42f}, 1.1f);
    AddGlow(canvas, letters, 5, Color{1.0f, 0.6f, 0.35f}, 0.9f);
    DrawStreak(canvas, baseline - height * 0.36f, Color{0.55f, 0.8f, 1.0f});
    AddMask(canvas, letters, Color{1.0f, 0.97f, 0.9f});

    const Font serif("DejaVuSerif.ttf");
    DrawTracked(canvas, serif, "presents", 392.0f, 30.0f, 9.0f, Color{0.92f, 0.95f, 1.0f});
    return canvas;
}

}  // namespace

PICTURE("KorbaPlunte2.tga", DrawSplash);
