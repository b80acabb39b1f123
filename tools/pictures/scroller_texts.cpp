// Txts4.tga and Txts3.tga: the two panels of the text scroller, the credits and then the greetings
// with a closing message. White letters with a soft coloured glow on black; the top of each
// picture enters the screen first.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"

namespace {

constexpr int kSize = 512;

// The panel shows the square picture on a 60 % by 73 % rectangle of a 4:3 screen, which squeezes
// it vertically by this much. The text is laid out on a wider canvas and narrowed to the picture,
// so on screen the letters keep their shape.
constexpr float kPanelSqueeze = (0.73f * 3.0f) / (0.6f * 4.0f);
const int kLayoutWidth = int(std::lround(kSize / kPanelSqueeze));

// The credits scroll while the airship rests at the left of the screen (its tail ends 35 % of the
// way across, the panel begins at 20 % and is 60 % wide): their lines keep to a column of the
// panel right of the ship, so none runs under it.
constexpr float kCreditsLeft = 0.30f;
constexpr float kCreditsRight = 0.98f;

const Color kWhite{1.0f, 1.0f, 1.0f};
const Color kViolet{0.76f, 0.4f, 0.9f};
const Color kLightBlue{0.55f, 0.82f, 1.0f};

struct Style {
    float pixelHeight;
    Color letters;
    Color glow;
    int glowRadius;
    float glowStrength;
};

// Letters of one line with a blurred copy of themselves behind them.
void GlowTextAt(Canvas& canvas, const Font& font, const std::string& text, float left, float baseline,
                const Style& style)
{
    const int width = canvas.Width();
    const int height = canvas.Height();
    const float pixelHeight = style.pixelHeight;
    std::vector<float> mask = font.Mask(text, pixelHeight, width, height, left, baseline);
    std::vector<float> halo = BlurMask(mask, width, height, style.glowRadius);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::size_t at = std::size_t(y) * width + x;
            if (halo[at] > 0.0f) canvas.Add(x, y, style.glow, std::min(1.0f, halo[at] * style.glowStrength));
            if (mask[at] > 0.0f) canvas.Add(x, y, style.letters, mask[at]);
        }
}

// Where a line of text may go: centred on centre, at most width wide (a wider line is set smaller).
struct Column {
    float centre;
    float width;
};

Column WholeWidth(const Canvas& canvas) { return Column{canvas.Width() / 2.0f, float(canvas.Width())}; }

void GlowText(Canvas& canvas, const Font& font, const std::string& text, float baseline, float pixelHeight,
              Color letters, Color glow, int glowRadius, float glowStrength, Column column)
{
    pixelHeight = std::min(pixelHeight, pixelHeight * column.width / font.TextWidth(text, pixelHeight));
    float left = column.centre - font.TextWidth(text, pixelHeight) / 2.0f;
    GlowTextAt(canvas, font, text, left, baseline, Style{pixelHeight, letters, glow, glowRadius, glowStrength});
}

void GlowText(Canvas& canvas, const Font& font, const std::string& text, float baseline, float pixelHeight,
              Color letters, Color glow, int glowRadius, float glowStrength)
{
    GlowText(canvas, font, text, baseline, pixelHeight, letters, glow, glowRadius, glowStrength, WholeWidth(canvas));
}

// A thin glowing rule with a small diamond in its middle, between sections.
void Ornament(Canvas& canvas, float centreX, float centreY, float halfLength, Color colour)
{
    for (int y = int(centreY) - 8; y <= int(centreY) + 8; ++y)
        for (int x = int(centreX - halfLength); x <= int(centreX + halfLength); ++x) {
            float dx = std::fabs(x + 0.5f - centreX);
            float dy = std::fabs(y + 0.5f - centreY);
            float taper = 1.0f - dx / halfLength;
            float rule = std::exp(-dy * dy / 0.8f) * taper * taper;
            float diamond = std::clamp(6.5f - (dx + dy), 0.0f, 1.0f);
            float halo = std::exp(-(dx * dx + dy * dy) / 40.0f);
            canvas.Add(x, y, colour, 0.8f * rule + 0.6f * halo);
            canvas.Add(x, y, kWhite, diamond);
        }
}

// Area-averages the layout canvas down to the picture's width.
Canvas NarrowToPicture(const Canvas& layout)
{
    Canvas picture(kSize, layout.Height());
    const float step = float(layout.Width()) / kSize;
    for (int y = 0; y < layout.Height(); ++y)
        for (int x = 0; x < kSize; ++x) {
            float from = x * step, to = (x + 1) * step;
            Color sum;
            for (int source = int(from); source < int(std::ceil(to)); ++source) {
                float weight = std::min(to, source + 1.0f) - std::max(from, float(source));
                Color pixel = layout.Get(source, y);
                sum.r += pixel.r * weight;
                sum.g += pixel.g * weight;
                sum.b += pixel.b * weight;
            }
            picture.Set(x, y, Color{sum.r / step, sum.g / step, sum.b / step});
        }
    return picture;
}

struct Fonts {
    Font regular{"DejaVuSans.ttf"};
    Font bold{"DejaVuSans-Bold.ttf"};
    Font serif{"DejaVuSerif-Bold.ttf"};
};

// A small spaced-out heading above one or two lines of text.
float Section(Canvas& canvas, const Fonts& fonts, Column column, float baseline, const std::string& heading,
              const std::vector<std::string>& lines)
{
    GlowText(canvas, fonts.bold, heading, baseline, 17.0f, kLightBlue, kViolet, 3, 0.8f, column);
    for (const std::string& line : lines) {
        baseline += 29.0f;
        GlowText(canvas, fonts.regular, line, baseline, 25.0f, kWhite, kViolet, 3, 0.6f, column);
    }
    // Four sections and two two-line ones fit in the picture with this gap.
    return baseline + 36.0f;
}

Canvas DrawCredits()
{
    Fonts fonts;
    Canvas layout(kLayoutWidth, kSize);
    // The glow reaches a few pixels past the letters; the column keeps it clear of the ship too.
    const float glowRoom = 8.0f;
    const Column column{(kCreditsLeft + kCreditsRight) / 2.0f * kLayoutWidth,
                        (kCreditsRight - kCreditsLeft) * kLayoutWidth - 2.0f * glowRoom};
    GlowText(layout, fonts.serif, "TarnelVois", 76.0f, 66.0f, kWhite, kViolet, 7, 1.4f, column);
    GlowText(layout, fonts.regular, "a KorbaPlunte production", 110.0f, 22.0f, kLightBlue, kViolet, 3, 0.6f, column);
    Ornament(layout, column.centre, 134.0f, 150.0f, kViolet);

    float baseline = 176.0f;
    baseline = Section(layout, fonts, column, baseline, "C O D E   &   D E S I G N", {"KorbaPlunte"});
    baseline = Section(layout, fonts, column, baseline, "E F F E C T S", {"cubes \u00b7 snow \u00b7 stars \u00b7 light \u00b7 lines"});
    baseline = Section(layout, fonts, column, baseline, "M U S I C",
                       {"an original score, synthesized", "as it plays by the Synthesis ToolKit"});
    baseline = Section(layout, fonts, column, baseline, "T H I S   V E R S I O N",
                       {"host and pictures re-made in 2026", "from the demo's own design"});
    Ornament(layout, column.centre, baseline - 14.0f, 60.0f, kLightBlue);
    return NarrowToPicture(layout);
}

Canvas DrawGreetings()
{
    Fonts fonts;
    Canvas layout(kLayoutWidth, kSize);
    GlowText(layout, fonts.serif, "Greetings", 62.0f, 50.0f, kWhite, kLightBlue, 6, 1.3f);
    GlowText(layout, fonts.regular, "fly out to", 92.0f, 20.0f, kLightBlue, kViolet, 3, 0.6f);

    const char* groups[][2] = {{"Vektorklang", "Moirefolk"},        {"Glimmerdrift", "Parallax Choir"},
                               {"Tessel & Hue", "Nordlichtwerk"},   {"Kiloplan", "Rasterfjell"},
                               {"Sinusoid", "Copper Lanterns"}};
    // Two columns meeting at a dot, the left one set flush right, the right flush left, the pair
    // centred as a block.
    const Style name{24.0f, kWhite, kViolet, 3, 0.6f};
    float widest[2] = {0.0f, 0.0f};
    for (const auto& pair : groups)
        for (int column = 0; column < 2; ++column)
            widest[column] = std::max(widest[column], fonts.regular.TextWidth(pair[column], name.pixelHeight));
    const float middle = (layout.Width() + widest[0] - widest[1]) / 2.0f;
    const float gutter = 18.0f;
    float baseline = 132.0f;
    for (const auto& pair : groups) {
        float leftWidth = fonts.regular.TextWidth(pair[0], name.pixelHeight);
        GlowTextAt(layout, fonts.regular, pair[0], middle - gutter - leftWidth, baseline, name);
        float dotWidth = fonts.regular.TextWidth("\u00b7", name.pixelHeight);
        GlowTextAt(layout, fonts.regular, "\u00b7", middle - dotWidth / 2.0f, baseline,
                   Style{name.pixelHeight, kLightBlue, kViolet, 3, 0.6f});
        GlowTextAt(layout, fonts.regular, pair[1], middle + gutter, baseline, name);
        baseline += 31.0f;
    }
    GlowText(layout, fonts.regular, "and everyone who still counts cycles for fun", baseline + 4.0f, 19.0f,
             kLightBlue, kViolet, 3, 0.6f);

    Ornament(layout, layout.Width() / 2.0f, baseline + 34.0f, 150.0f, kViolet);
    GlowText(layout, fonts.serif, "thank you for watching", baseline + 86.0f, 34.0f, kWhite, kViolet, 6, 1.2f);
    GlowText(layout, fonts.regular, "see you at the next party", baseline + 120.0f, 22.0f, kLightBlue, kViolet, 3,
             0.6f);
    GlowText(layout, fonts.bold, "K o r b a P l u n t e", baseline + 166.0f, 18.0f, kWhite, kLightBlue, 4, 0.9f);
    return NarrowToPicture(layout);
}

}  // namespace

PICTURE("Txts4.tga", DrawCredits);
PICTURE("Txts3.tga", DrawGreetings);
