// The canvas as the host will see it (through its own TGA decoder), text decoding, blur, and the
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
}

TEST(CanvasTga, ChannelsAreClampedOnlyWhenWrittenAndWritesOffTheCanvasAreIgnored) {
    Canvas canvas(3, 1);
    canvas.Set(0, 0, Color{-0.5f, 2.0f, NAN});
    // Light accumulates past 1 on the canvas; only the written byte saturates.
    canvas.Add(1, 0, Color{1, 1, 1}, 1.5f);
    canvas.Mix(1, 0, Color{0, 0, 0}, 0.5f);
    canvas.Set(3, 0, Color{1, 1, 1});
    canvas.Add(-1, 0, Color{1, 1, 1});
    canvas.Mix(0, 1, Color{1, 1, 1}, 1.0f);
    EXPECT_EQ(canvas.Get(3, 0).r, 0.0f) << "reads off the canvas give black";

    const Image image = Decode(canvas);
    EXPECT_EQ(SeenFromTop(image, 0, 0), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(SeenFromTop(image, 1, 0), (std::array<int, 3>{191, 191, 191}));
    EXPECT_EQ(SeenFromTop(image, 2, 0), (std::array<int, 3>{0, 0, 0}));
}

TEST(FontText, Utf8AndLatin1SpellTheSameLetterAndAStrayByteIsNotSwallowed) {
    const Font font("DejaVuSans.ttf");
    EXPECT_EQ(font.Mask("caf\xc3\xa9", 24, 80, 32, 2, 24), font.Mask("caf\xe9", 24, 80, 32, 2, 24));
    EXPECT_GT(font.TextWidth("\xa9x", 24), font.TextWidth("x", 24));
}

TEST(Blur, KeepsTheMasksWeightAndRefusesAWrongSize) {
    std::vector<float> mask(41 * 41, 0.0f);
    mask[20 * 41 + 20] = 1.0f;
    const std::vector<float> blurred = BlurMask(mask, 41, 41, 3);
    EXPECT_NEAR(std::accumulate(blurred.begin(), blurred.end(), 0.0f), 1.0f, 1e-4f);
    EXPECT_GT(blurred[20 * 41 + 29], 1e-5f) << "three passes reach three radii";
    EXPECT_THROW(BlurMask(mask, 40, 41, 3), std::invalid_argument);
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
