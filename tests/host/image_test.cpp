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

// TGA keeps blue first.
Bytes Pixels(std::initializer_list<Rgb> colours, bool withAlpha = false)
{
    Bytes bytes;
    for (const Rgb& c : colours) {
        bytes.insert(bytes.end(), {c.b, c.g, c.r});
        if (withAlpha) bytes.push_back(128);
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
        EXPECT_EQ(Decode(MakeTga(h, Pixels({kRed, kGreen, kBlue, kWhite}, alpha))), seenBottomRowFirst) << h.depth;
        h.descriptor |= kTopOrigin;
        EXPECT_EQ(Decode(MakeTga(h, Pixels({kBlue, kWhite, kRed, kGreen}, alpha))), seenBottomRowFirst) << h.depth;
        h.descriptor |= kRightOrigin;
        EXPECT_EQ(Decode(MakeTga(h, Pixels({kWhite, kBlue, kGreen, kRed}, alpha))), seenBottomRowFirst) << h.depth;
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
