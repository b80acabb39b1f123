// envmap.tga: a chrome ball's view of the world, for the cubes' sphere-mapped reflection and their
// tinted base. Every texel inside the disc is the colour seen along the direction a mirror sphere
// reflects there: a blue sky brightening to a warm horizon band, a dark ground below, and a few
// bright highlights in the sky. Outside the disc the rim's colour continues, so filtering at the
// edge of the disc blends into nothing darker.
#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace {

constexpr int kSize = 256;

struct Direction {
    float x, y, z;
};

Direction Normalised(Direction d)
{
    float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return {d.x / length, d.y / length, d.z / length};
}

Color Scaled(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Color Sum(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Color Blend(Color a, Color b, float k) { return {a.r + (b.r - a.r) * k, a.g + (b.g - a.g) * k, a.b + (b.b - a.b) * k}; }

// A soft round light in the sky: brightness falls with the angle from its direction.
float Highlight(Direction view, Direction light, float sharpness)
{
    float cosine = view.x * light.x + view.y * light.y + view.z * light.z;
    return cosine > 0 ? std::pow(cosine, sharpness) : 0.0f;
}

// The world around the chrome, by direction (y up, z towards the viewer). The cube shows it twice,
// as its base and added as its reflection, so all but the highlights stay dim.
Color Environment(Direction view)
{
    const Color zenith{0.05f, 0.10f, 0.30f};
    const Color skyLow{0.22f, 0.32f, 0.52f};
    const Color horizon{0.62f, 0.50f, 0.36f};
    const Color groundNear{0.22f, 0.19f, 0.17f};
    const Color groundFar{0.05f, 0.05f, 0.06f};

    float elevation = view.y;
    Color colour;
    if (elevation >= 0) {
        colour = Blend(skyLow, zenith, std::pow(elevation, 0.6f));
    } else {
        colour = Blend(groundNear, groundFar, std::pow(-elevation, 0.5f));
        // Long streaks on the ground, so the lower half of the cube is not flat.
        float streak = 0.5f + 0.5f * std::sin(std::atan2(view.x, view.z) * 9.0f);
        colour = Sum(colour, Scaled(groundNear, 0.35f * streak * (1 + elevation)));
    }
    float band = std::exp(-(elevation * elevation) / 0.0035f);
    colour = Blend(colour, horizon, band * 0.8f);

    Color sun{1.0f, 0.95f, 0.85f};
    colour = Sum(colour, Scaled(sun, 1.4f * Highlight(view, Normalised({-0.55f, 0.55f, 0.63f}), 60.0f)));
    colour = Sum(colour, Scaled(sun, 0.7f * Highlight(view, Normalised({0.7f, 0.35f, 0.6f}), 150.0f)));
    colour = Sum(colour, Scaled(Color{0.8f, 0.9f, 1.0f}, 0.5f * Highlight(view, Normalised({0.1f, 0.8f, -0.6f}), 40.0f)));
    colour = Sum(colour, Scaled(Color{1.0f, 1.0f, 1.0f}, 0.6f * Highlight(view, Normalised({0.3f, 0.25f, 0.92f}), 900.0f)));
    return colour;
}

Canvas DrawEnvironmentPicture()
{
    Canvas canvas(kSize, kSize);
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            // Point on the mirror sphere seen at this texel (t upwards, as the texture is read).
            float u = 2 * (column + 0.5f) / kSize - 1;
            float v = 1 - 2 * (row + 0.5f) / kSize;
            float radius = std::sqrt(u * u + v * v);
            const float rim = 0.995f;
            if (radius > rim) {
                u *= rim / radius;
                v *= rim / radius;
            }
            float depth = std::sqrt(std::max(0.0f, 1 - u * u - v * v));
            // The eye looks down -z; the sphere reflects it about its normal (u, v, depth).
            Direction reflected{2 * depth * u, 2 * depth * v, 2 * depth * depth - 1};
            canvas.Set(column, row, Environment(reflected));
        }
    }
    return canvas;
}

}  // namespace

PICTURE("envmap.tga", DrawEnvironmentPicture);
