// The real host on Mesa's software renderer, in this process: small timelines and archives made
// here, frames captured to PNG and read back.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/control.h"
#include "host/demogl.h"
#include "tests/support/test_files.h"

namespace {

// Shows one picture of the archive over the whole frame, texture (0, 0) at the bottom left.
class PictureEffect : public CEffect {
public:
    explicit PictureEffect(const char* path) : path_(path) {}
    int Init(int, int) override
    {
        texture_ = DEMOGL_TextureLoad(path_, 3, 0, 0x2901, 0x2901, 0x2600, 0x2600, false, false, 0, 0, 2);
        return 0;
    }
    void Prepare() override { DEMOGL_TextureUpload(texture_); }
    void RenderFrame(LONG) override
    {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex2f(-1, -1);
        glTexCoord2f(1, 0), glVertex2f(1, -1);
        glTexCoord2f(1, 1), glVertex2f(1, 1);
        glTexCoord2f(0, 1), glVertex2f(-1, 1);
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
    void End() override { DEMOGL_TextureDelete(texture_); }

private:
    const char* path_;
    unsigned int texture_ = 0;
};

bool IsColour(const Picture& picture, int x, int y, int r, int g, int b)
{
    const std::uint8_t* pixel = picture.At(x, y);
    return std::abs(pixel[0] - r) <= 2 && std::abs(pixel[1] - g) <= 2 && std::abs(pixel[2] - b) <= 2;
}

TEST(HostRender, PicturesShowUprightControlClearsAndColorOffKeepsThePreviousFrame)
{
    const std::string folder = TemporaryFolder("host-render");
    // Top half red, bottom half blue, as seen.
    Bytes pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) pixels.insert(pixels.end(), {std::uint8_t(y < 2 ? 255 : 0), 0, std::uint8_t(y < 2 ? 0 : 255)});
    // Ten frames a second: frame n is at n * 100 ms and shows what runs then.
    const std::string timeline = "0 start CONTROL 0\n0 start PICTURE 1\n50 stop PICTURE\n"
                                 "150 start MISSING 1\n250 stop MISSING\n250 start MARK 1\n"
                                 "350 stop MARK\n350 param CONTROL \"COLOR OFF\"\n500 end\n";
    WriteZip(folder + "/data.zip", {{"timeline.txt", TextBytes(timeline)},
                                    {"demotex/test.tga", MakeTga(4, 4, pixels)},
                                    {"demotex/white.tga", MakeTga(1, 1, {255, 255, 255})}});
    CControlEffect control;
    PictureEffect picture("demotex\\Test.tga");
    PictureEffect missing("demotex\\missing.tga");
    PictureEffect mark("demotex\\white.tga");
    DEMOGL_EffectRegister(&control, "CONTROL");
    DEMOGL_EffectRegister(&picture, "PICTURE");
    DEMOGL_EffectRegister(&missing, "MISSING");
    DEMOGL_EffectRegister(&mark, "MARK");
    ASSERT_EQ(RunInProcess({"--headless", "--size", "64x48", "--fps", "10", "--data", folder + "/data.zip", "--capture",
                            folder + "/frames"}),
              0);
    std::vector<Picture> frames;
    for (int frame = 0; frame < 5; ++frame) {
        frames.push_back(ReadPng(folder + "/frames/frame-00000" + std::to_string(frame) + ".png"));
        ASSERT_EQ(frames.back().width, 64) << frame;
    }
    EXPECT_TRUE(IsColour(frames[0], 32, 2, 255, 0, 0)) << "the picture's top row belongs at the top";
    EXPECT_TRUE(IsColour(frames[0], 32, 45, 0, 0, 255));
    EXPECT_TRUE(IsColour(frames[1], 32, 2, 0, 0, 0)) << "CONTROL clears what the last frame left";
    EXPECT_TRUE(IsColour(frames[2], 32, 2, 0, 0, 0)) << "a missing picture is drawn black, never white";
    EXPECT_TRUE(IsColour(frames[3], 32, 2, 255, 255, 255));
    EXPECT_TRUE(IsColour(frames[4], 32, 2, 255, 255, 255)) << "a frame that is not cleared keeps the last one";
}

TEST(HostRender, RegisteringTwiceOrNothingIsRefused)
{
    CControlEffect control;
    EXPECT_EQ(DEMOGL_EffectRegister(&control, "CONTROL"), 0);
    EXPECT_EQ(DEMOGL_EffectRegister(&control, "CONTROL"), -1);
    EXPECT_EQ(DEMOGL_EffectRegister(nullptr, "OTHER"), -1);
    const std::string folder = TemporaryFolder("refused");
    WriteZip(folder + "/data.zip", {{"timeline.txt", TextBytes("0 start CONTROL 0\n100 end\n")}});
    EXPECT_EQ(RunInProcess({"--headless", "--data", folder + "/data.zip"}), 1) << "a run with a broken registry must not play";
}

}  // namespace
