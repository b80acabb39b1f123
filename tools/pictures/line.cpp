// Line.tga: the band texture of the line across the screen. The top tenth holds a glowing dashed
// rule (the white strip); rows 0.375 to 0.5 hold two waves, one each side of the middle (the
// violet and blue strips). Everything else is black. The effect repeats it along s, so every
// pattern has a whole number of periods across the width and the right edge runs on into the left.
#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace {

constexpr int kSize = 256;
constexpr float kTau = 6.2831853f;

// Rows as drawn on the canvas (row 0 at the top, texture t = 1 - row / kSize).
constexpr float kRuleTop = 0.0f;      // t = 1
constexpr float kRuleBottom = 25.6f;  // t = 0.9
constexpr float kWaveTop = 128.0f;    // t = 0.5
constexpr float kWaveBottom = 160.0f; // t = 0.375

float Gaussian(float distance, float sigma) { return std::exp(-0.5f * distance * distance / (sigma * sigma)); }

float Smoothstep(float edge0, float edge1, float x)
{
    float k = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return k * k * (3 - 2 * k);
}

// Fades a band's content to black over its outer rows, so the strip has no hard top or bottom
// edge and the filtering never pulls light across the band's border.
float BandEnvelope(float row, float top, float bottom, float fade)
{
    return Smoothstep(top + 1.0f, top + 1.0f + fade, row) * Smoothstep(bottom - 1.0f, bottom - 1.0f - fade, row);
}

// Horizontal distance on a circle of kSize columns, for glints that wrap around the edge.
float WrappedDistance(float x, float centre)
{
    float distance = std::fabs(x - centre);
    return std::min(distance, kSize - distance);
}

// Sixteen dashes with soft ends, and a faint glow between them.
float Dashes(float x)
{
    float phase = std::cos(kTau * 16.0f * x / kSize);
    return 0.3f + 0.7f * Smoothstep(-0.3f, 0.4f, phase);
}

void DrawRule(Canvas& canvas)
{
    const float centre = (kRuleTop + kRuleBottom) / 2;
    const float glints[] = {20.0f, 84.0f, 148.0f, 212.0f};
    for (int y = 0; y < int(kRuleBottom) + 1; ++y) {
        float row = y + 0.5f;
        float envelope = BandEnvelope(row, kRuleTop, kRuleBottom, 4.0f);
        for (int x = 0; x < kSize; ++x) {
            float column = x + 0.5f;
            float dashes = Dashes(column);
            float core = Gaussian(row - centre, 1.1f) * dashes;
            float glow = Gaussian(row - centre, 4.0f) * (0.55f + 0.45f * dashes);
            float glint = 0.0f;
            for (float at : glints) {
                float dx = WrappedDistance(column, at);
                glint += Gaussian(dx, 9.0f) * Gaussian(row - centre, 2.2f) + Gaussian(dx, 1.2f) * Gaussian(row - centre, 6.0f);
            }
            canvas.Add(x, y, Color{1.0f, 1.0f, 1.0f}, envelope * (core + 0.6f * glint));
            canvas.Add(x, y, Color{0.55f, 0.8f, 1.0f}, envelope * 0.5f * glow);
        }
    }
}

// Distance from a point to the curve y(x) = centre + amplitude * sin(...), measured across the
// curve rather than straight down, so the line keeps its thickness where it is steep.
float WaveDistance(float column, float row, float cycles, float amplitude, float phase, float centre)
{
    float angle = kTau * cycles * column / kSize + phase;
    float curveY = centre + amplitude * std::sin(angle);
    float slope = amplitude * std::cos(angle) * kTau * cycles / kSize;
    return (row - curveY) / std::sqrt(1.0f + slope * slope);
}

// One wave above the middle of the band and one below it, never crossing the middle: the tinted
// strips are drawn over the white one, and any light of theirs on its rule would stain it.
void DrawWaves(Canvas& canvas)
{
    const float centre = (kWaveTop + kWaveBottom) / 2;
    for (int y = int(kWaveTop); y < int(kWaveBottom); ++y) {
        float row = y + 0.5f;
        float envelope = BandEnvelope(row, kWaveTop, kWaveBottom, 3.0f);
        for (int x = 0; x < kSize; ++x) {
            float column = x + 0.5f;
            float upper = WaveDistance(column, row, 2.0f, 4.0f, 0.0f, centre - 7.0f);
            float lower = WaveDistance(column, row, 3.0f, 4.0f, 1.3f, centre + 7.0f);
            float pulse = 0.7f + 0.3f * std::sin(kTau * column / kSize);
            float light = pulse * (0.85f * Gaussian(upper, 1.0f) + 0.15f * Gaussian(upper, 1.8f)) +
                          (1.4f - pulse) * (0.7f * Gaussian(lower, 0.9f) + 0.12f * Gaussian(lower, 1.8f));
            canvas.Add(x, y, Color{1.0f, 1.0f, 1.0f}, envelope * light);
        }
    }
}

Canvas DrawLinePicture()
{
    Canvas canvas(kSize, kSize);
    DrawRule(canvas);
    DrawWaves(canvas);
    return canvas;
}

}  // namespace

PICTURE("Line.tga", DrawLinePicture);
