// Where the picture lands in a captured frame: unscaled when a side matches, fitted otherwise.
#include <gtest/gtest.h>

#include "capture/frame_layout.h"

namespace {

void ExpectLayout(const FrameLayout& layout, int pictureWidth, int pictureHeight, int left, int top)
{
    EXPECT_EQ(layout.pictureWidth, pictureWidth);
    EXPECT_EQ(layout.pictureHeight, pictureHeight);
    EXPECT_EQ(layout.left, left);
    EXPECT_EQ(layout.top, top);
}

TEST(FrameLayout, AMatchingSideKeepsThePictureUnscaledAndCentred)
{
    // The default video: 4:3 in 16:9, 160 black columns on each side.
    ExpectLayout(FitPicture(960, 720, 1280, 720), 960, 720, 160, 0);
    ExpectLayout(FitPicture(1440, 1080, 1920, 1080), 1440, 1080, 240, 0);
    // A taller frame: bars above and below.
    ExpectLayout(FitPicture(320, 240, 320, 300), 320, 240, 0, 30);
    // An odd difference puts the extra column on the right.
    ExpectLayout(FitPicture(321, 241, 400, 241), 321, 241, 39, 0);
    EXPECT_FALSE(FitPicture(640, 480, 0, 0).HasBars()) << "no frame size: the render's own";
    EXPECT_EQ(FitPicture(640, 480, 0, 0).frameWidth, 640);
    EXPECT_TRUE(FitPicture(960, 720, 1280, 720).HasBars());
}

TEST(FrameLayout, AnotherShapeIsScaledToFitWithItsAspectKept)
{
    ExpectLayout(FitPicture(1280, 960, 1280, 720), 960, 720, 160, 0);  // down
    ExpectLayout(FitPicture(640, 480, 1920, 1080), 1440, 1080, 240, 0);  // up
    ExpectLayout(FitPicture(320, 240, 160, 200), 160, 120, 0, 40);
    // Whole numbers: 1000x750 in 1366x768 is 1024x768 exactly, not a pixel short.
    ExpectLayout(FitPicture(1000, 750, 1366, 768), 1024, 768, 171, 0);
    // A sliver never vanishes.
    ExpectLayout(FitPicture(8192, 16, 16, 8192), 16, 1, 0, 4095);
}

}  // namespace
