// The icon: a tile with transparent rounded corners at every size, its edges smoothed rather than
// cut, and an SVG twin whose every fill is defined.
#include "icon/icon.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

float AlphaAt(const Icon& icon, int x, int y) { return icon.alpha[std::size_t(y) * icon.colour.Width() + x]; }

}  // namespace

TEST(Icon, CornersAreTransparentAndTheTileOpaqueAtEverySize) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const Icon icon = DrawIcon(size);
        ASSERT_EQ(icon.alpha.size(), std::size_t(size) * size) << size;
        // (At 16 pixels the rounding is under three pixels wide: the corner pixel is barely touched.)
        for (int corner : {0, size - 1}) {
            EXPECT_LT(AlphaAt(icon, corner, 0), 0.1f) << size;
            EXPECT_LT(AlphaAt(icon, corner, size - 1), 0.1f) << size;
        }
        // The middle of each edge and the centre (the cube) are fully covered.
        for (auto [x, y] : {std::pair{size / 2, 0}, {0, size / 2}, {size - 1, size / 2}, {size / 2, size - 1}, {size / 2, size / 2}})
            EXPECT_EQ(AlphaAt(icon, x, y), 1.0f) << size << " at " << x << "," << y;
        for (float alpha : icon.alpha) ASSERT_TRUE(alpha >= 0.0f && alpha <= 1.0f);
    }
}

TEST(Icon, RoundedCornersAreSmoothedNotStepped) {
    const Icon icon = DrawIcon(64);
    // Along the diagonal from a corner, coverage rises from nothing to full through partial values.
    std::set<float> seen;
    for (int i = 0; i < 16; ++i) seen.insert(AlphaAt(icon, i, i));
    EXPECT_EQ(*seen.begin(), 0.0f);
    EXPECT_EQ(*seen.rbegin(), 1.0f);
    EXPECT_GE(seen.size(), 3u) << "no partly covered pixel on the rounded corner";
}

TEST(Icon, RgbaCarriesTheCoverageAsAlpha) {
    const Icon icon = DrawIcon(32);
    const std::vector<unsigned char> rgba = IconRgba(icon);
    ASSERT_EQ(rgba.size(), 32u * 32 * 4);
    const std::size_t centre = (16 * 32 + 16) * 4;
    EXPECT_EQ(rgba[3], 0);             // top-left corner
    EXPECT_EQ(rgba[centre + 3], 255);
    // The centre is the lit cube, not the black of an empty pixel.
    EXPECT_GT(rgba[centre] + rgba[centre + 1] + rgba[centre + 2], 100);
}

TEST(Icon, SvgIsOneDocumentWhoseFillsAreAllDefined) {
    const std::string svg = IconSvg();
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    std::set<std::string> defined, used;
    const std::regex id("id=\"([a-z0-9]+)\""), reference("url\\(#([a-z0-9]+)\\)");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), id); it != std::sregex_iterator(); ++it)
        EXPECT_TRUE(defined.insert((*it)[1]).second) << "id defined twice: " << (*it)[1];
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), reference); it != std::sregex_iterator(); ++it)
        used.insert((*it)[1]);
    EXPECT_EQ(used, defined);
    EXPECT_EQ(used.size(), 5u);  // the sky, a star, three faces
    // No coordinate or opacity came out as "nan" or "inf".
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
}
