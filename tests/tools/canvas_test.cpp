// The canvas as the host will see it (through its own TGA decoder), text placement, blur, and the
// picture registry's order.
#include "canvas.h"
#include "src/host/image.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace {

Image Decode(const Canvas& canvas) {
    Image image;
    std::string error;
    EXPECT_TRUE(DecodeTga(canvas.ToTga(), image, error)) << error;
    return image;
}

// Pixel of a decoded image, with y counted from the top as on the canvas.
std::array<int, 3> SeenFromTop(const Image& image, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(image.height - 1 - y) * image.width + x) * 3;
    return {image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]};
}

float Sum(const std::vector<float>& values) { return std::accumulate(values.begin(), values.end(), 0.0f); }

}  // namespace

TEST(CanvasTga, HostDecoderSeesThePictureUpright) {
    // Wider than 255 so the high byte of the width counts; not square so width and height cannot swap.
    Canvas canvas(258, 2);
    canvas.Set(0, 0, Color{1, 0, 0});
    canvas.Set(257, 0, Color{0, 1, 0});
    canvas.Set(1, 1, Color{0, 0, 1});
    const std::vector<std::uint8_t> tga = canvas.ToTga();
    ASSERT_EQ(tga.size(), 18u + 258u * 2u * 3u) << "no id field, no colour map, no compression";
    const Image image = Decode(canvas);
    ASSERT_EQ(image.width, 258);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(SeenFromTop(image, 0, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(SeenFromTop(image, 257, 0), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(SeenFromTop(image, 1, 1), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(SeenFromTop(image, 0, 1), (std::array<int, 3>{0, 0, 0}));
}

TEST(CanvasTga, ChannelsAreClampedAndRoundedOnlyWhenWritten) {
    Canvas canvas(8, 1);
    canvas.Set(0, 0, Color{-0.5f, 2.0f, 0.5f});
    canvas.Set(1, 0, Color{NAN, 1.0f / 255.0f, 0.499f / 255.0f});
    // Light accumulates past 1 on the canvas; only the written byte saturates.
    canvas.Add(2, 0, Color{1, 1, 1}, 1.5f);
    canvas.Mix(2, 0, Color{0, 0, 0}, 0.5f);
    canvas.Add(3, 0, Color{1, 0, 0});
    canvas.Add(3, 0, Color{1, 0, 0}, -0.75f);
    // Writes off the canvas are ignored, reads give black.
    canvas.Set(8, 0, Color{1, 1, 1});
    canvas.Add(-1, 0, Color{1, 1, 1});
    canvas.Mix(0, 1, Color{1, 1, 1}, 1.0f);
    EXPECT_EQ(canvas.Get(8, 0).r, 0.0f);

    const Image image = Decode(canvas);
    EXPECT_EQ(SeenFromTop(image, 0, 0), (std::array<int, 3>{0, 255, 128}));
    EXPECT_EQ(SeenFromTop(image, 1, 0), (std::array<int, 3>{0, 1, 0}));
    EXPECT_EQ(SeenFromTop(image, 2, 0), (std::array<int, 3>{191, 191, 191}));
    EXPECT_EQ(SeenFromTop(image, 3, 0), (std::array<int, 3>{64, 0, 0}));
    EXPECT_EQ(SeenFromTop(image, 7, 0), (std::array<int, 3>{0, 0, 0}));
}

TEST(FontText, DrawsInItsColourOnTheBaselineCentredWhereAsked) {
    const Font font("DejaVuSans-Bold.ttf");
    Canvas canvas(128, 64);
    const float centre = 60, baseline = 40, height = 32, halfWidth = font.TextWidth("HOH", height) / 2;
    font.DrawTextCentred(canvas, "HOH", centre, baseline, height, Color{1, 0, 0});

    double weight = 0, moment = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const Color pixel = canvas.Get(x, y);
            EXPECT_EQ(pixel.g, 0.0f);
            if (pixel.r <= 0.0f) continue;
            weight += pixel.r;
            moment += pixel.r * (x + 0.5);
            // Capitals without descenders sit on the baseline, within the pixel height and the text's width.
            EXPECT_TRUE(y < baseline + 1 && y > baseline - height) << x << "," << y;
            EXPECT_TRUE(x >= centre - halfWidth - 1 && x < centre + halfWidth + 1) << x << "," << y;
        }
    EXPECT_GT(weight, 100);
    EXPECT_NEAR(moment / weight, centre, 2.0);
    float brightest = 0;  // the stems of an H are fully covered somewhere
    for (int x = 0; x < canvas.Width(); ++x) brightest = std::max(brightest, canvas.Get(x, 30).r);
    EXPECT_GT(brightest, 0.99f);
}

TEST(FontText, WidthsHonourKerningAndUtf8AndLatin1SpellTheSameLetter) {
    const Font font("DejaVuSans.ttf");
    EXPECT_NEAR(font.TextWidth("Tarnelvois", 64), 2 * font.TextWidth("Tarnelvois", 32), 1.0f);
    // "AV" is a classic kerned pair: set tighter than the letters apart.
    EXPECT_LT(font.TextWidth("AV", 32), font.TextWidth("A", 32) + font.TextWidth("V", 32) - 0.5f);
    const std::vector<float> utf8 = font.Mask("caf\xc3\xa9", 24, 80, 32, 2, 24);
    const std::vector<float> latin1 = font.Mask("caf\xe9", 24, 80, 32, 2, 24);
    EXPECT_EQ(utf8, latin1);
    EXPECT_FLOAT_EQ(font.TextWidth("\xc3\xa9", 24), font.TextWidth("\xe9", 24));
    // A stray continuation byte is not swallowed with its neighbour.
    EXPECT_GT(font.TextWidth("\xa9x", 24), font.TextWidth("x", 24));
}

TEST(Blur, SpreadsAnImpulseSymmetricallyAndKeepsItsWeight) {
    const int size = 41, centre = 20, radius = 3;
    std::vector<float> mask(size * size, 0.0f);
    mask[centre * size + centre] = 1.0f;
    const std::vector<float> blurred = BlurMask(mask, size, size, radius);
    auto at = [&](int x, int y) { return blurred[y * size + x]; };

    EXPECT_NEAR(Sum(blurred), 1.0f, 1e-4f);
    EXPECT_GT(at(centre, centre), at(centre + 2, centre));
    EXPECT_NEAR(at(centre, centre - 4), at(centre + 4, centre), 1e-6f);
    // Three passes reach 3 * radius and no further (beyond, only rounding residue of the running sum).
    EXPECT_GT(at(centre + 3 * radius, centre), 1e-5f);
    EXPECT_LT(at(centre + 3 * radius + 1, centre), 1e-9f);

    const std::vector<float> small = {0, 1, 0.5f, 0.25f, 0, 0};
    EXPECT_EQ(BlurMask(small, 3, 2, 0), small) << "a zero radius keeps the mask";
    EXPECT_THROW(BlurMask(small, 4, 2, 1), std::invalid_argument) << "a wrong size is refused";
}

namespace {
Canvas DrawSmall() { return Canvas(2, 2); }
}  // namespace
PICTURE("zz-test-late.tga", DrawSmall);
PICTURE("aa-test-early.tga", DrawSmall);

TEST(Registry, ListsPicturesByNameWhateverTheRegistrationOrder) {
    const std::vector<RegisteredPicture>& pictures = RegisteredPictures();
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].name, "aa-test-early.tga");
    EXPECT_EQ(pictures[1].name, "zz-test-late.tga");
    EXPECT_EQ(pictures[0].draw().Width(), 2);
}
