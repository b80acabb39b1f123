// Light.tga: a cone of white light for the spotlights. The beam's tip sits at the bottom centre
// (texture (0.5, 0)) and its wide end along the top row, so the triangle the effect draws takes
// exactly the cone. Bright at the tip, softer towards the top and the sides, with faint rays; the
// colour comes from the effect.
#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace {

constexpr int kSize = 128;

float Smoothstep(float edge0, float edge1, float x)
{
    float k = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return k * k * (3 - 2 * k);
}

// Brightness across the beam, u = -1 at one edge of the cone and 1 at the other.
float AcrossBeam(float u)
{
    float magnitude = std::fabs(u);
    if (magnitude >= 1.0f) return 0.0f;
    float body = std::pow(1.0f - u * u, 1.5f);
    float core = std::exp(-u * u / 0.05f);
    float rays = 1.0f + 0.14f * std::sin(23.0f * u + 1.0f) + 0.08f * std::sin(41.0f * u + 2.0f);
    return (0.6f * body * rays + 0.45f * core) * Smoothstep(1.0f, 0.8f, magnitude);
}

Canvas DrawLightPicture()
{
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        // Canvas row 0 is the top of the picture, texture t = 1.
        float t = 1.0f - (y + 0.5f) / kSize;
        float halfWidth = std::max(t / 2.0f, 1e-3f);
        // Fading out over the top rows keeps the repeat's wrap from carrying the top into the tip.
        float along = (1.0f - 0.55f * t) * Smoothstep(1.0f, 0.94f, t);
        for (int x = 0; x < kSize; ++x) {
            float s = (x + 0.5f) / kSize;
            float u = (s - 0.5f) / halfWidth;
            float tip = std::exp(-((s - 0.5f) * (s - 0.5f) + t * t) / 0.004f);
            float light = along * AcrossBeam(u) + 0.8f * tip;
            canvas.Set(x, y, Color{light, light, light});
        }
    }
    return canvas;
}

}  // namespace

PICTURE("Light.tga", DrawLightPicture);
