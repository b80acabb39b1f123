#include "host/image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

constexpr std::uint8_t kTopOrigin = 0x20, kRightOrigin = 0x10;

struct Header {
    int type = 2, width = 2, height = 2, depth = 24, descriptor = 0;
    int mapType = 0, mapFirst = 0, mapLength = 0, mapBits = 0;
};
// An 8-bit picture indexing a 24-bit colour map.
Header Mapped(int first, int length) { return Header{1, 2, 2, 8, 0, 1, first, length, 24}; }

Bytes MakeTga(const Header& h, const Bytes& body)
{
    const int fields[] = {h.mapType, h.type, h.mapFirst, h.mapFirst >> 8, h.mapLength, h.mapLength >> 8, h.mapBits,
                          0, 0, 0, 0, h.width, h.width >> 8, h.height, h.height >> 8, h.depth, h.descriptor};
    Bytes file = {3};  // an image id, which the decoder must skip
    for (int field : fields) file.push_back(static_cast<std::uint8_t>(field));
    file.insert(file.end(), {'i', 'd', '!'});
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// TGA keeps blue first; an alpha from 0 to 255 follows each pixel's colour.
Bytes Pixels(std::initializer_list<Rgb> colours, int alpha = -1)
{
    Bytes bytes;
    for (const Rgb& c : colours) {
        bytes.insert(bytes.end(), {c.b, c.g, c.r});
        if (alpha >= 0) bytes.push_back(static_cast<std::uint8_t>(alpha));
    }
    return bytes;
}

Bytes Rows(std::initializer_list<Rgb> colours)
{
    Bytes bytes;
    for (const Rgb& c : colours) bytes.insert(bytes.end(), {c.r, c.g, c.b});
    return bytes;
}

Bytes Decode(const Bytes& file)
{
    Image image;
    std::string error;
    EXPECT_TRUE(DecodeTga(file, image, error)) << error;
    return image.rgb;
}

std::string ErrorOf(const Bytes& file)
{
    Image image;
    std::string error;
    EXPECT_FALSE(DecodeTga(file, image, error));
    return error;
}

TEST(DecodeTga, BottomRowComesFirstWhicheverWayTheFileIsStored)
{
    // Seen on screen: blue and white on top, red and green below.
    const Bytes seenBottomRowFirst = Rows({kRed, kGreen, kBlue, kWhite});
    for (const bool alpha : {false, true}) {
        Header h;
        h.depth = alpha ? 32 : 24;
        h.descriptor = alpha ? 8 : 0;
        const int opaque = alpha ? 255 : -1;
        EXPECT_EQ(Decode(MakeTga(h, Pixels({kRed, kGreen, kBlue, kWhite}, opaque))), seenBottomRowFirst) << h.depth;
        h.descriptor |= kTopOrigin;
        EXPECT_EQ(Decode(MakeTga(h, Pixels({kBlue, kWhite, kRed, kGreen}, opaque))), seenBottomRowFirst) << h.depth;
        h.descriptor |= kRightOrigin;
        EXPECT_EQ(Decode(MakeTga(h, Pixels({kWhite, kBlue, kGreen, kRed}, opaque))), seenBottomRowFirst) << h.depth;
    }
}

// The pictures are added onto the frame, so black is what lets the frame show through: a
// transparent background must decode to black, not to the colour that happens to sit under it.
TEST(DecodeTga, ColoursAreMultipliedByTheAlphaTheHeaderDeclares)
{
    const Rgb orange{200, 100, 50};
    Header h;
    h.width = 3;
    h.height = 1;
    h.depth = 32;
    h.descriptor = 8;
    Bytes body;
    for (int alpha : {0, 128, 255}) {
        const Bytes pixel = Pixels({orange}, alpha);
        body.insert(body.end(), pixel.begin(), pixel.end());
    }
    EXPECT_EQ(Decode(MakeTga(h, body)), Bytes({0, 0, 0, 100, 50, 25, 200, 100, 50}));

    // Run-length and colour-mapped pictures carry alpha too.
    Header rle = h;
    rle.type = 10;
    Bytes runs = {0x81};  // two clear pixels from one, then one opaque as it is
    const Bytes clear = Pixels({orange}, 0), opaque = Pixels({orange}, 255);
    runs.insert(runs.end(), clear.begin(), clear.end());
    runs.push_back(0x00);
    runs.insert(runs.end(), opaque.begin(), opaque.end());
    EXPECT_EQ(Decode(MakeTga(rle, runs)), Bytes({0, 0, 0, 0, 0, 0, 200, 100, 50}));
    Header mapped{1, 3, 1, 8, 8, 1, 0, 2, 32};
    Bytes map = Pixels({orange, orange}, 0);
    map[7] = 255;  // the second entry opaque
    map.insert(map.end(), {0, 1, 0});
    EXPECT_EQ(Decode(MakeTga(mapped, map)), Bytes({0, 0, 0, 200, 100, 50, 0, 0, 0}));

    // Without alpha bits in the header the fourth byte is not alpha; nor is one that is 0
    // everywhere, which would leave nothing to see.
    h.descriptor = 0;
    EXPECT_EQ(Decode(MakeTga(h, body)), Bytes({200, 100, 50, 200, 100, 50, 200, 100, 50}));
    h.descriptor = 8;
    EXPECT_EQ(Decode(MakeTga(h, Pixels({orange, orange, orange}, 0))), Bytes({200, 100, 50, 200, 100, 50, 200, 100, 50}));
}

// A file is read for what it holds, whatever its name says.
TEST(DecodePicture, ReadsPngAndTgaAndNamesTheFormatItRefuses)
{
    // A 2x1 PNG (RGBA, no filter, stored deflate block): opaque red, then transparent white.
    const Bytes png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
                       0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x22, 0x7F,
                       0x8A, 0x00, 0x00, 0x00, 0x14, 0x49, 0x44, 0x41, 0x54, 0x78, 0x01, 0x01, 0x09, 0x00, 0xF6, 0xFF,
                       0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x15, 0xF3, 0x04, 0xFC, 0xD2, 0x42, 0x6F,
                       0x77, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    Image image;
    std::string error;
    ASSERT_TRUE(DecodePicture(png, image, error)) << error;
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.rgb, Bytes({255, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(DecodeTga(png, image, error)) << "a TGA reader alone takes it for TGA type 78";

    const Bytes tga = MakeTga(Header(), Pixels({kRed, kGreen, kBlue, kWhite}));
    ASSERT_TRUE(DecodePicture(tga, image, error)) << error;
    EXPECT_EQ(image.rgb, Rows({kRed, kGreen, kBlue, kWhite}));

    const std::pair<Bytes, std::string> others[] = {
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}, "JPEG"},
        {{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "GIF"},
        {{'B', 'M', 30, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 1, 0}, "BMP"},
    };
    for (const auto& [bytes, format] : others) {
        EXPECT_FALSE(DecodePicture(bytes, image, error));
        EXPECT_EQ(error, "a " + format + " picture; only TGA and PNG are read");
    }
}

TEST(DecodeTga, ReadsRunLengthColourMappedAndGrey)
{
    Header rle;
    rle.type = 10;
    rle.width = 3;
    Bytes body = Pixels({kRed});
    body.insert(body.begin(), 0x81);  // two reds from one pixel
    body.push_back(0x03);             // four pixels as they are, running across the row boundary
    const Bytes literal = Pixels({kGreen, kBlue, kWhite, kBlue});
    body.insert(body.end(), literal.begin(), literal.end());
    EXPECT_EQ(Decode(MakeTga(rle, body)), Rows({kRed, kRed, kGreen, kBlue, kWhite, kBlue}));
    body.pop_back();
    EXPECT_EQ(ErrorOf(MakeTga(rle, body)), "truncated");

    body = Pixels({kWhite, kRed, kGreen, kBlue});
    body.insert(body.end(), {1, 2, 3, 0});
    EXPECT_EQ(Decode(MakeTga(Mapped(0, 4), body)), Rows({kRed, kGreen, kBlue, kWhite}));

    const Header grey{3, 2, 2, 8, kTopOrigin};
    EXPECT_EQ(Decode(MakeTga(grey, {10, 20, 30, 40})), Bytes({30, 30, 30, 40, 40, 40, 10, 10, 10, 20, 20, 20}));
}

TEST(DecodeTga, RefusesWhatItCannotShowSafely)
{
    const Bytes pixels = Pixels({kRed, kGreen, kBlue, kWhite});
    const Bytes good = MakeTga(Header(), pixels);
    EXPECT_EQ(ErrorOf(Bytes(good.begin(), good.begin() + 17)), "truncated");
    EXPECT_EQ(ErrorOf(Bytes(good.begin(), good.end() - 1)), "truncated");
    EXPECT_EQ(ErrorOf(MakeTga(Header{32}, pixels)), "unsupported TGA type 32");
    EXPECT_EQ(ErrorOf(MakeTga(Header{2, 0}, pixels)), "size 0x2");
    // Run-length data could claim any size in a few bytes.
    EXPECT_EQ(ErrorOf(MakeTga(Header{10, 2, kMaxImageSide + 1}, {0xFF, 0, 0, 0})), "size 2x8193");
    EXPECT_EQ(ErrorOf(MakeTga(Header{10, 2, kMaxImageSide}, {0xFF, 0, 0, 0})), "truncated");

    const std::pair<int, int> badMaps[] = {{0, 0}, {5, 4}, {0, 300}};  // first entry, length
    for (const auto& [first, length] : badMaps)
        EXPECT_NE(ErrorOf(MakeTga(Mapped(first, length), pixels)).find("colour map"), std::string::npos) << first;
    EXPECT_EQ(ErrorOf(MakeTga(Mapped(0, 200), pixels)), "truncated") << "more entries than the file holds";
}

}  // namespace
