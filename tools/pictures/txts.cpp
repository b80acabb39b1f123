// The captions: two pictures of four bands each, one glowing line of text per band, read from the
// top band down. Captions shown in the top quarter of the screen glow ice blue, those in the bottom
// quarter amber. Black is see-through.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"

namespace {

constexpr int kWidth = 512;
// The caption effect cuts its picture into four bands of a quarter of the height each.
constexpr int kBandCount = 4;
constexpr int kBandRows = 128;
// Kept black at the band's edges: the texture is filtered and repeats, so a lit texel there would
// bleed into the neighbouring band or wrap to the other side.
constexpr int kMargin = 8;
constexpr float kTextInset = 24.0f;
// A caption in the bottom quarter slides right by a fifth of the screen as it fades, from a
// picture whose left edge starts a third of the way across; letters right of this column would
// leave the screen while still lit (the column ends at 70 %, less the glow's reach).
constexpr float kLowerTextRight = 328.0f;

struct CaptionStyle {
    Color glow;
    Color core;
};
// The caption of the first band shows in the top quarter, the next in the bottom one, and so on.
const CaptionStyle kTopStyle{{0.25f, 0.6f, 1.0f}, {0.92f, 0.97f, 1.0f}};
const CaptionStyle kBottomStyle{{1.0f, 0.5f, 0.15f}, {1.0f, 0.95f, 0.85f}};

struct Caption {
    const char* text;
    const char* font;
    float height;
};

// Glow and rule are blurred inside the band alone, so no light reaches the next caption.
void DrawBand(Canvas& canvas, int band, const Caption& caption)
{
    const Font font(caption.font);
    const CaptionStyle& style = band % 2 == 0 ? kTopStyle : kBottomStyle;
    const float spanLeft = kTextInset;
    const float spanRight = band % 2 == 0 ? kWidth - kTextInset : kLowerTextRight;
    const float widest = spanRight - spanLeft;
    float height = std::min(caption.height, caption.height * widest / font.TextWidth(caption.text, caption.height));
    float textWidth = font.TextWidth(caption.text, height);
    const float centre = (spanLeft + spanRight) / 2.0f;
    float left = centre - textWidth / 2.0f;
    const float baseline = 80.0f;
    std::vector<float> letters = font.Mask(caption.text, height, kWidth, kBandRows, left, baseline);

    // A thin rule under the text, as wide as the text and fading towards its ends.
    std::vector<float> rule(kWidth * kBandRows, 0.0f);
    const float ruleRow = 104.0f;
    for (int y = 0; y < kBandRows; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float along = (x + 0.5f - centre) / (textWidth * 0.5f);
            float across = y + 0.5f - ruleRow;
            if (std::fabs(along) < 1.0f)
                rule[y * kWidth + x] = (1.0f - along * along) * std::clamp(1.2f - std::fabs(across), 0.0f, 1.0f);
        }

    std::vector<float> wideGlow = BlurMask(letters, kWidth, kBandRows, 10);
    std::vector<float> tightGlow = BlurMask(letters, kWidth, kBandRows, 3);
    std::vector<float> ruleGlow = BlurMask(rule, kWidth, kBandRows, 3);
    const int top = band * kBandRows;
    for (int y = kMargin; y < kBandRows - kMargin; ++y)
        for (int x = kMargin; x < kWidth - kMargin; ++x) {
            size_t at = y * kWidth + x;
            canvas.Add(x, top + y, style.glow, wideGlow[at] * 1.8f + tightGlow[at] * 1.0f + ruleGlow[at] * 2.0f);
            canvas.Add(x, top + y, style.glow, rule[at]);
            canvas.Add(x, top + y, style.core, letters[at]);
        }
}

Canvas DrawCaptions(const Caption (&captions)[kBandCount])
{
    Canvas canvas(kWidth, kBandCount * kBandRows);
    for (int band = 0; band < kBandCount; ++band) DrawBand(canvas, band, captions[band]);
    return canvas;
}

// One caption every seven seconds from 34 s: the name and the makers while the cubes gather,
// then each new thing as it arrives (the lights from 45 s, the line at 55 s).
Canvas DrawFirstCaptions()
{
    static const Caption captions[kBandCount] = {
        {"TarnelVois", "DejaVuSerif-Bold.ttf", 76.0f},
        {"a demo by KorbaPlunte", "DejaVuSans.ttf", 50.0f},
        {"four lights in the dark", "DejaVuSans.ttf", 50.0f},
        {"one line of light", "DejaVuSans.ttf", 50.0f},
    };
    return DrawCaptions(captions);
}

// From 62 s: the snow that began at 60 s, then, while the lights go out one by one, words about
// the piece and the cubes (four chrome, five tinted magenta) rather than about the lights.
Canvas DrawSecondCaptions()
{
    static const Caption captions[kBandCount] = {
        {"and the first snow", "DejaVuSans.ttf", 50.0f},
        {"made of code and light", "DejaVuSans.ttf", 50.0f},
        {"nine cubes, chrome and magenta", "DejaVuSans.ttf", 50.0f},
        {"drawn as you watch", "DejaVuSans.ttf", 50.0f},
    };
    return DrawCaptions(captions);
}

}  // namespace

PICTURE("txts1.tga", DrawFirstCaptions);
PICTURE("txts2.tga", DrawSecondCaptions);
