#include "host/image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

constexpr std::uint8_t kTopOrigin = 0x20;

struct Header {
    int type = 2, width = 2, height = 2, depth = 24, descriptor = 0;
    int mapType = 0, mapFirst = 0, mapLength = 0, mapBits = 0;
};
// An 8-bit picture indexing a 24-bit colour map.
Header Mapped(int first, int length) { return Header{1, 2, 2, 8, 0, 1, first, length, 24}; }

Bytes MakeTga(const Header& h, const Bytes& body) {
    Bytes file = {3,  // an image id, which the decoder must skip
                  static_cast<std::uint8_t>(h.mapType), static_cast<std::uint8_t>(h.type),
                  static_cast<std::uint8_t>(h.mapFirst), static_cast<std::uint8_t>(h.mapFirst >> 8),
                  static_cast<std::uint8_t>(h.mapLength), static_cast<std::uint8_t>(h.mapLength >> 8),
                  static_cast<std::uint8_t>(h.mapBits), 0, 0, 0, 0,
                  static_cast<std::uint8_t>(h.width), static_cast<std::uint8_t>(h.width >> 8),
                  static_cast<std::uint8_t>(h.height), static_cast<std::uint8_t>(h.height >> 8),
                  static_cast<std::uint8_t>(h.depth), static_cast<std::uint8_t>(h.descriptor),
                  'i', 'd', '!'};
    const std::size_t headerSize = file.size();
    file.resize(headerSize + body.size());
    std::copy(body.begin(), body.end(), file.begin() + headerSize);
    return file;
}

// TGA keeps blue first.
Bytes Pixels(std::initializer_list<Rgb> colours, bool withAlpha = false) {
    Bytes bytes;
    for (const Rgb& c : colours) {
        bytes.insert(bytes.end(), {c.b, c.g, c.r});
        if (withAlpha) bytes.push_back(128);
    }
    return bytes;
}

Bytes Rows(std::initializer_list<Rgb> colours) {
    Bytes bytes;
    for (const Rgb& c : colours) bytes.insert(bytes.end(), {c.r, c.g, c.b});
    return bytes;
}

Image Decode(const Bytes& file) {
    Image image;
    std::string error;
    EXPECT_TRUE(DecodeTga(file, image, error)) << error;
    return image;
}

std::string ErrorOf(const Bytes& file) {
    Image image;
    std::string error;
    EXPECT_FALSE(DecodeTga(file, image, error));
    return error;
}

// Seen on screen: blue and white on top, red and green below.
const Bytes kSeenBottomRowFirst = Rows({kRed, kGreen, kBlue, kWhite});

TEST(DecodeTga, BottomRowComesFirstWhicheverWayTheFileIsStored) {
    for (const bool alpha : {false, true}) {
        Header h;
        h.depth = alpha ? 32 : 24;
        h.descriptor = alpha ? 8 : 0;
        const Image fromBottom = Decode(MakeTga(h, Pixels({kRed, kGreen, kBlue, kWhite}, alpha)));
        EXPECT_EQ(fromBottom.rgb, kSeenBottomRowFirst) << h.depth << "-bit, stored bottom row first";

        h.descriptor |= kTopOrigin;
        const Image fromTop = Decode(MakeTga(h, Pixels({kBlue, kWhite, kRed, kGreen}, alpha)));
        EXPECT_EQ(fromTop.width, 2);
        EXPECT_EQ(fromTop.height, 2);
        EXPECT_EQ(fromTop.rgb, kSeenBottomRowFirst) << h.depth << "-bit, stored top row first";
    }
}

TEST(DecodeTga, ReadsRunLengthColourMappedAndGrey) {
    Header rle;
    rle.type = 10;
    rle.width = 3;
    Bytes body = {0x81};  // two reds from one pixel
    Bytes rest = Pixels({kRed});
    body.insert(body.end(), rest.begin(), rest.end());
    body.push_back(0x03);  // four pixels as they are, running across the row boundary
    rest = Pixels({kGreen, kBlue, kWhite, kBlue});
    body.insert(body.end(), rest.begin(), rest.end());
    EXPECT_EQ(Decode(MakeTga(rle, body)).rgb, Rows({kRed, kRed, kGreen, kBlue, kWhite, kBlue}));
    body.pop_back();
    EXPECT_EQ(ErrorOf(MakeTga(rle, body)), "truncated");

    body = Pixels({kWhite, kRed, kGreen, kBlue});
    body.insert(body.end(), {1, 2, 3, 0});
    EXPECT_EQ(Decode(MakeTga(Mapped(0, 4), body)).rgb, Rows({kRed, kGreen, kBlue, kWhite}));

    Header grey;
    grey.type = 3;
    grey.depth = 8;
    grey.descriptor = kTopOrigin;
    EXPECT_EQ(Decode(MakeTga(grey, {10, 20, 30, 40})).rgb, Bytes({30, 30, 30, 40, 40, 40, 10, 10, 10, 20, 20, 20}));
}

TEST(DecodeTga, RefusesWhatItCannotShowSafely) {
    const Bytes pixels = Pixels({kRed, kGreen, kBlue, kWhite});
    const Bytes good = MakeTga(Header(), pixels);
    EXPECT_EQ(ErrorOf(Bytes(good.begin(), good.begin() + 17)), "truncated");
    EXPECT_EQ(ErrorOf(Bytes(good.begin(), good.end() - 1)), "truncated");
    EXPECT_EQ(ErrorOf({}), "truncated");

    Header h;
    h.type = 32;
    EXPECT_EQ(ErrorOf(MakeTga(h, pixels)), "unsupported TGA type 32");
    h.type = 2;
    h.width = 0;
    EXPECT_EQ(ErrorOf(MakeTga(h, pixels)), "size 0x2");
    h.width = 2;
    h.height = kMaxImageSide + 1;
    h.type = 10;  // run-length data could claim any size in a few bytes
    EXPECT_EQ(ErrorOf(MakeTga(h, {0xFF, 0, 0, 0})), "size 2x8193");
    h.height = kMaxImageSide;
    EXPECT_EQ(ErrorOf(MakeTga(h, {0xFF, 0, 0, 0})), "truncated");

    const Bytes map = Pixels({kRed, kGreen, kBlue, kWhite});
    const std::pair<int, int> badMaps[] = {{0, 0}, {5, 4}, {0, 300}};  // first entry, length
    for (const auto& [first, length] : badMaps)
        EXPECT_NE(ErrorOf(MakeTga(Mapped(first, length), map)).find("colour map"), std::string::npos) << first;
    EXPECT_EQ(ErrorOf(MakeTga(Mapped(0, 200), map)), "truncated") << "more entries than the file holds";
}

}  // namespace
