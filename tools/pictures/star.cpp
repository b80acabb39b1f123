// star.tga: a small bright star with a glow, for the star field. The effect shows only the
// upper-left half of the picture (left of and above the diagonal from bottom-left to top-right)
// and spins it, so the star sits on that triangle's inscribed circle and keeps inside it.
#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace {

constexpr int kSize = 64;

Canvas DrawStarPicture()
{
    Canvas canvas(kSize, kSize);
    const float inradius = kSize * (2 - std::sqrt(2.0f)) / 2;
    const float centreX = inradius, centreY = inradius;
    const float reach = inradius - 1.0f;

    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float dx = x + 0.5f - centreX, dy = y + 0.5f - centreY;
            float distance = std::hypot(dx, dy);
            float angle = std::atan2(dy, dx);
            float core = std::exp(-distance * distance / 3.0f);
            float glow = 0.3f * std::exp(-distance * distance / 24.0f);
            // Four long rays on the axes and four short ones between them, thinning outwards.
            float along = std::clamp(1 - distance / reach, 0.0f, 1.0f);
            float longRays = std::pow(std::fabs(std::cos(2 * angle)), 60.0f) * along * along;
            float shortRays = std::pow(std::fabs(std::sin(2 * angle)), 90.0f) *
                              std::pow(std::clamp(1 - distance / (reach * 0.55f), 0.0f, 1.0f), 2.0f);
            float light = std::min(1.0f, core + glow + 0.9f * longRays + 0.5f * shortRays);
            float inside = std::clamp((reach + 1 - distance) / 1.5f, 0.0f, 1.0f);
            // The star field adds each texel squared (src * src), which would swallow the glow and
            // the rays; the square root gives them back.
            light = std::sqrt(light) * inside;
            canvas.Set(x, y, Color{light, light * 0.96f, light * 0.86f + 0.1f * glow});
        }
    return canvas;
}

}  // namespace

PICTURE("star.tga", DrawStarPicture);
